"""Self-signed server certificates for the test server's HTTPS listeners, made with the openssl CLI.

Three certificates: one that is right for "localhost", one that expired years ago and one issued to another
name. The client under test must accept all three (it ignores issuer, date and name errors), so each one is
deliberately wrong in exactly one more way than the first.
"""

import os
import subprocess

GOOD = "https"
EXPIRED = "https_expired"
WRONG_NAME = "https_wrongname"

# Dates of the expired certificate: long past, so the test never depends on today's date.
_EXPIRED_START = "20200101000000Z"
_EXPIRED_END = "20200201000000Z"

_CA_CONFIG = """[ ca ]
default_ca = expired
[ expired ]
database = {db}/index.txt
new_certs_dir = {db}
serial = {db}/serial
default_md = sha256
policy = any_name
unique_subject = no
copy_extensions = copy
[ any_name ]
commonName = supplied
"""


class CertificateError(Exception):
    pass


def _run_openssl(args, folder):
    result = subprocess.run(["openssl"] + args, cwd=folder, stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if result.returncode != 0:
        raise CertificateError("openssl %s failed:\n%s" % (args[0], result.stdout))


def _self_signed(folder, key, name, host):
    cert = name + ".crt"
    _run_openssl(["req", "-x509", "-key", key, "-sha256", "-days", "3650", "-out", cert,
                  "-subj", "/CN=" + host, "-addext", "subjectAltName=DNS:" + host], folder)
    return os.path.join(folder, cert), key


def _expired(folder, key, name, host):
    # "req -x509" only takes a positive number of days, so the past dates come from "ca -selfsign".
    db = os.path.join(folder, name + "-db")
    os.mkdir(db)
    open(os.path.join(db, "index.txt"), "w").close()
    with open(os.path.join(db, "serial"), "w") as serial:
        serial.write("01\n")
    config = os.path.join(folder, name + ".cnf")
    with open(config, "w") as out:
        out.write(_CA_CONFIG.format(db=db))
    cert, csr = name + ".crt", name + ".csr"
    _run_openssl(["req", "-new", "-key", key, "-out", csr,
                  "-subj", "/CN=" + host, "-addext", "subjectAltName=DNS:" + host], folder)
    _run_openssl(["ca", "-batch", "-config", config, "-selfsign", "-keyfile", key, "-in", csr,
                  "-out", cert, "-notext", "-startdate", _EXPIRED_START, "-enddate", _EXPIRED_END], folder)
    return os.path.join(folder, cert), key


def make_certificates(folder):
    """Writes the three certificates into folder; returns {listener name: (cert path, key path)}.
    They share one RSA key: making a key is the slow part, and nothing here depends on distinct keys."""
    key = os.path.join(folder, "server.key")
    _run_openssl(["genpkey", "-algorithm", "RSA", "-pkeyopt", "rsa_keygen_bits:2048", "-out", key], folder)
    return {
        GOOD: _self_signed(folder, key, GOOD, "localhost"),
        EXPIRED: _expired(folder, key, EXPIRED, "localhost"),
        WRONG_NAME: _self_signed(folder, key, WRONG_NAME, "wrong-name.invalid"),
    }
