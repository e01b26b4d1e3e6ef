#!/usr/bin/env python3
"""Loopback web server for the installer's tests and demo: plain HTTP with a control API, HTTPS with a good, an
expired and a wrongly-named certificate, and a forward proxy with Basic proxy authentication.

  vtserver.py --port-file ports.json                 serve in the foreground until SIGTERM or Ctrl+C
  vtserver.py --detach --port-file F --pid-file P --log L
                                                     start in the background, return once it listens
  vtserver.py --stop --pid-file P                    stop a server started with --pid-file

See README.md beside this file for the control API.
"""

import sys

sys.dont_write_bytecode = True  # keep the source folder free of __pycache__

import argparse  # noqa: E402
import json  # noqa: E402
import os  # noqa: E402
import shutil  # noqa: E402
import signal  # noqa: E402
import subprocess  # noqa: E402
import tempfile  # noqa: E402
import threading  # noqa: E402
import time  # noqa: E402

from vtserver_certs import CertificateError, make_certificates  # noqa: E402
from vtserver_handlers import ServerContext  # noqa: E402
from vtserver_listeners import LISTENER_NAMES, make_listeners  # noqa: E402
from vtserver_state import ServerState  # noqa: E402

STOP_TIMEOUT_S = 10


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description="Loopback test web server (HTTP, HTTPS, proxy, control API).")
    parser.add_argument("--port-file", help="write the listening ports here as JSON once the server listens")
    parser.add_argument("--pid-file", help="write the server's process id here (used by --stop)")
    parser.add_argument("--bind", default="127.0.0.1", help="address to listen on (default 127.0.0.1)")
    for name in LISTENER_NAMES:
        parser.add_argument("--%s-port" % name.replace("_", "-"), type=int, default=0, dest=name,
                            help="fixed port of the %s listener (default: a free port)" % name)
    parser.add_argument("--docroot", help="folder of static files served for paths without a behaviour")
    parser.add_argument("--verbose", action="store_true", help="log every request and connection error")
    parser.add_argument("--detach", action="store_true", help="run in the background; needs --port-file")
    parser.add_argument("--log", help="with --detach: append the server's output to this file")
    parser.add_argument("--start-timeout", type=float, default=30, help="with --detach: seconds to wait")
    parser.add_argument("--stop", action="store_true", help="stop the server whose --pid-file is given")
    args = parser.parse_args(argv)
    if args.detach and not args.port_file:
        parser.error("--detach needs --port-file")
    if args.stop and not args.pid_file:
        parser.error("--stop needs --pid-file")
    if args.docroot and not os.path.isdir(args.docroot):
        parser.error("--docroot is not a folder: " + args.docroot)
    return args


def write_atomically(path, text):
    """Readers polling for the file never see it half written."""
    temporary = "%s.%d.tmp" % (path, os.getpid())
    with open(temporary, "w") as out:
        out.write(text)
    os.replace(temporary, path)


def remove_quietly(path):
    if path:
        try:
            os.remove(path)
        except FileNotFoundError:
            pass


def serve(args):
    context = ServerContext(ServerState(), args.docroot, args.verbose)
    certificate_folder = tempfile.mkdtemp(prefix="vtserver-certs-")
    listeners = {}
    try:
        try:
            certificates = make_certificates(certificate_folder)
            listeners = make_listeners(args.bind, {name: getattr(args, name) for name in LISTENER_NAMES},
                                       context, certificates)
        except (CertificateError, OSError) as error:
            sys.stderr.write("vtserver: cannot start: %s\n" % error)
            return 1
        context.ports = {name: listeners[name].server_address[1] for name in LISTENER_NAMES}

        stop = threading.Event()
        for signal_number in (signal.SIGTERM, signal.SIGINT):
            signal.signal(signal_number, lambda *_: stop.set())
        threads = [threading.Thread(target=listener.serve_forever, kwargs={"poll_interval": 0.2}, daemon=True)
                   for listener in listeners.values()]
        for thread in threads:
            thread.start()
        if args.pid_file:
            write_atomically(args.pid_file, "%d\n" % os.getpid())
        if args.port_file:
            write_atomically(args.port_file, json.dumps(context.ports))
        print("vtserver: listening on %s %s" % (args.bind, json.dumps(context.ports)), flush=True)
        stop.wait()
        # Each shutdown waits for its accept loop's next poll; in parallel they take one poll, not five.
        stoppers = [threading.Thread(target=listener.shutdown) for listener in listeners.values()]
        for stopper in stoppers:
            stopper.start()
        for stopper in stoppers:
            stopper.join()
        print("vtserver: stopped", flush=True)
        return 0
    finally:
        for listener in listeners.values():
            listener.server_close()
        remove_quietly(args.port_file)
        remove_quietly(args.pid_file)
        shutil.rmtree(certificate_folder, ignore_errors=True)


def detach(args, argv):
    """Starts the server as a session of its own with its output in the log, so that the caller (a CTest
    fixture, a demo script) can return while the server runs on without holding the caller's pipes."""
    remove_quietly(args.port_file)  # a stale file would look like a started server
    child_argv = [sys.executable, os.path.abspath(__file__)] + [a for a in argv if a != "--detach"]
    log = open(args.log, "ab") if args.log else subprocess.DEVNULL
    try:
        child = subprocess.Popen(child_argv, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                                 start_new_session=True, close_fds=True)
    finally:
        if log is not subprocess.DEVNULL:
            log.close()
    deadline = time.monotonic() + args.start_timeout
    while time.monotonic() < deadline:
        if os.path.exists(args.port_file):
            with open(args.port_file) as ports:
                print("vtserver: started, pid %d, ports %s" % (child.pid, ports.read()), flush=True)
            return 0
        if child.poll() is not None:
            sys.stderr.write("vtserver: the server exited with code %d before listening%s\n"
                             % (child.returncode, "; see " + args.log if args.log else ""))
            return 1
        time.sleep(0.05)
    sys.stderr.write("vtserver: the server did not listen within %g s\n" % args.start_timeout)
    child.terminate()
    child.wait(STOP_TIMEOUT_S)
    return 1


def _is_running_server(pid):
    """Guards against a stale pid file naming a process id that now belongs to something else."""
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as cmdline:
            return b"vtserver.py" in cmdline.read()
    except OSError:
        return False


def stop(args):
    try:
        with open(args.pid_file) as pid_file:
            pid = int(pid_file.read().strip())
    except FileNotFoundError:
        print("vtserver: not running (no pid file)")
        return 0
    except ValueError:
        sys.stderr.write("vtserver: unreadable pid file %s\n" % args.pid_file)
        return 1
    if not _is_running_server(pid):
        print("vtserver: not running (stale pid file)")
        remove_quietly(args.pid_file)
        return 0
    os.kill(pid, signal.SIGTERM)
    deadline = time.monotonic() + STOP_TIMEOUT_S
    while _is_running_server(pid):
        if time.monotonic() > deadline:
            sys.stderr.write("vtserver: pid %d ignored SIGTERM for %d s; killing it\n" % (pid, STOP_TIMEOUT_S))
            os.kill(pid, signal.SIGKILL)
            remove_quietly(args.pid_file)
            return 1
        time.sleep(0.05)
    print("vtserver: stopped pid %d" % pid)
    return 0


def main(argv):
    args = parse_arguments(argv)
    if args.stop:
        return stop(args)
    if args.detach:
        return detach(args, argv)
    return serve(args)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
