"""The test server's shared state: behaviours per path, recorded requests and the proxy's settings.

Every handler thread goes through one lock here. Behaviours arrive as JSON from the control API and are
checked field by field, so a typing mistake in a test fails loudly at set-up instead of serving a default.
"""

import base64
import binascii
import os
import threading

from vtserver_bodies import FileBody, InlineBody, PatternBody


class BehaviourError(Exception):
    pass


# Headers the server computes itself; a behaviour may not override them.
_SERVER_OWNED_HEADERS = {"content-length", "connection", "transfer-encoding"}
_BODY_FIELDS = ("body_text", "body_base64", "body_file", "body_pattern")
_FIELDS = set(_BODY_FIELDS) | {
    "content_type", "ranges", "statuses", "close_after", "close_mode", "close_delay_ms", "basic_auth",
    "authorization",
    "headers", "delay_ms", "chunk_size", "chunk_delay_ms", "keep_alive",
}


def _is_int(value):
    return isinstance(value, int) and not isinstance(value, bool)


def _count(settings, name, default, minimum=0):
    value = settings.get(name, default)
    if not _is_int(value) or value < minimum:
        raise BehaviourError("%s must be an integer >= %d" % (name, minimum))
    return value


def _text(settings, name, default=None):
    value = settings.get(name, default)
    if value is not None and not isinstance(value, str):
        raise BehaviourError("%s must be a string" % name)
    return value


def basic_credentials(user_and_password):
    """The Authorization value a client sends for "user:password"."""
    return "Basic " + base64.b64encode(user_and_password.encode("utf-8")).decode("ascii")


def credentials_match(header_value, expected):
    """Compares a received Basic header with the expected one; the scheme name is case-insensitive."""
    if header_value is None:
        return False
    scheme, _, token = header_value.strip().partition(" ")
    expected_scheme, _, expected_token = expected.partition(" ")
    return scheme.lower() == expected_scheme.lower() and token.strip() == expected_token


class Behaviour:
    """What one path answers. The attempt counter picks the entry of the per-request lists."""

    def __init__(self, settings):
        if not isinstance(settings, dict):
            raise BehaviourError("behaviour must be a JSON object")
        unknown = sorted(set(settings) - _FIELDS)
        if unknown:
            raise BehaviourError("unknown behaviour field(s): " + ", ".join(unknown))
        self.body = self._make_body(settings)
        self.content_type = _text(settings, "content_type", "application/octet-stream")
        self.ranges = _text(settings, "ranges", "honour")
        if self.ranges not in ("honour", "ignore"):
            raise BehaviourError('ranges must be "honour" or "ignore"')
        self.statuses = self._int_list(settings, "statuses", [200], allow_null=False)
        if any(not 100 <= s <= 599 for s in self.statuses):
            raise BehaviourError("statuses must be HTTP status codes")
        self.close_after = self._int_list(settings, "close_after", [None], allow_null=True)
        self.close_mode = _text(settings, "close_mode", "fin")
        if self.close_mode not in ("fin", "reset"):
            raise BehaviourError('close_mode must be "fin" or "reset"')
        self.close_delay_ms = _count(settings, "close_delay_ms", 0)
        self.authorization = self._authorization(settings)
        self.headers = self._headers(settings.get("headers", []))
        self.delay_ms = _count(settings, "delay_ms", 0)
        self.chunk_size = _count(settings, "chunk_size", 65536, minimum=1)
        self.chunk_delay_ms = _count(settings, "chunk_delay_ms", 0)
        self.keep_alive = settings.get("keep_alive", True)
        if not isinstance(self.keep_alive, bool):
            raise BehaviourError("keep_alive must be true or false")
        self.attempts = 0

    @staticmethod
    def _make_body(settings):
        given = [name for name in _BODY_FIELDS if name in settings]
        if len(given) > 1:
            raise BehaviourError("give at most one of " + ", ".join(_BODY_FIELDS))
        if not given:
            return InlineBody(b"")
        name = given[0]
        if name == "body_text":
            return InlineBody(_text(settings, name).encode("utf-8"))
        if name == "body_base64":
            try:
                return InlineBody(base64.b64decode(_text(settings, name), validate=True))
            except (binascii.Error, ValueError) as error:
                raise BehaviourError("body_base64 is not valid base64: %s" % error)
        if name == "body_file":
            path = _text(settings, name)
            if not os.path.isfile(path):
                raise BehaviourError("body_file does not exist: " + path)
            return FileBody(path)
        return PatternBody(_count(settings, name, 0))

    @staticmethod
    def _int_list(settings, name, default, allow_null):
        value = settings.get(name, default)
        if _is_int(value) or (allow_null and value is None):
            value = [value]
        if not isinstance(value, list) or not value:
            raise BehaviourError("%s must be an integer or a non-empty list" % name)
        for item in value:
            if not (_is_int(item) and item >= 0) and not (allow_null and item is None):
                raise BehaviourError("%s holds an invalid entry: %r" % (name, item))
        return value

    @staticmethod
    def _authorization(settings):
        if "basic_auth" in settings and "authorization" in settings:
            raise BehaviourError("give basic_auth or authorization, not both")
        if "basic_auth" in settings:
            user_and_password = _text(settings, "basic_auth")
            if ":" not in user_and_password:
                raise BehaviourError('basic_auth must be "user:password"')
            return basic_credentials(user_and_password)
        return _text(settings, "authorization")

    @staticmethod
    def _headers(value):
        pairs = list(value.items()) if isinstance(value, dict) else value
        if not isinstance(pairs, list):
            raise BehaviourError("headers must be an object or a list of [name, value]")
        checked = []
        for pair in pairs:
            if (not isinstance(pair, (list, tuple)) or len(pair) != 2
                    or not all(isinstance(part, str) for part in pair)):
                raise BehaviourError("headers entries must be [name, value] strings")
            name, text = pair
            if name.lower() in _SERVER_OWNED_HEADERS:
                raise BehaviourError("header %s is set by the server" % name)
            if any(c in name + text for c in "\r\n") or not name:
                raise BehaviourError("header names and values must be single-line text")
            checked.append((name, text))
        return checked

    def status_for(self, attempt):
        return self.statuses[min(attempt, len(self.statuses) - 1)]

    def close_after_for(self, attempt):
        return self.close_after[min(attempt, len(self.close_after) - 1)]


class ProxySettings:
    def __init__(self, settings=None):
        settings = {} if settings is None else settings
        if not isinstance(settings, dict):
            raise BehaviourError("proxy settings must be a JSON object")
        unknown = sorted(set(settings) - {"credentials", "realm", "challenge_count"})
        if unknown:
            raise BehaviourError("unknown proxy field(s): " + ", ".join(unknown))
        self.credentials = _text(settings, "credentials")
        if self.credentials is not None and ":" not in self.credentials:
            raise BehaviourError('credentials must be "user:password"')
        self.realm = _text(settings, "realm", "vtserver proxy")
        if '"' in self.realm or "\r" in self.realm or "\n" in self.realm:
            raise BehaviourError("realm must be single-line text without quotes")
        self.challenge_count = _count(settings, "challenge_count", 0)
        self.forced_left = self.challenge_count
        self.challenges_sent = 0
        self.forwarded = 0

    def describe(self):
        return {"credentials": self.credentials, "realm": self.realm, "challenge_count": self.challenge_count,
                "challenges_sent": self.challenges_sent, "forwarded": self.forwarded}


class ServerState:
    def __init__(self):
        self._lock = threading.Lock()
        self._behaviours = {}
        self._records = []
        self._next_sequence = 1
        self._next_connection = 1
        self._proxy = ProxySettings()

    def set_behaviour(self, path, settings):
        """settings None removes the path's behaviour. Setting a behaviour restarts its attempt counter."""
        if not isinstance(path, str) or not path.startswith("/"):
            raise BehaviourError('path must be a string starting with "/"')
        behaviour = None if settings is None else Behaviour(settings)
        with self._lock:
            if behaviour is None:
                self._behaviours.pop(path, None)
            else:
                self._behaviours[path] = behaviour

    def find_behaviour(self, path_with_query):
        """An entry for the exact path with its query wins over one for the path alone."""
        with self._lock:
            found = self._behaviours.get(path_with_query)
            if found is None:
                found = self._behaviours.get(path_with_query.partition("?")[0])
            return found

    def take_attempt(self, behaviour):
        with self._lock:
            attempt = behaviour.attempts
            behaviour.attempts += 1
            return attempt

    def new_connection_id(self):
        with self._lock:
            number = self._next_connection
            self._next_connection += 1
            return number

    def add_record(self, record):
        """Stores the record (a dict whose keys are all present already; only values change later)."""
        with self._lock:
            record["seq"] = self._next_sequence
            self._next_sequence += 1
            self._records.append(record)

    def records(self, prefix=None):
        with self._lock:
            return [dict(r) for r in self._records if prefix is None or r["path"].startswith(prefix)]

    def clear_records(self, prefix=None):
        with self._lock:
            self._records = [r for r in self._records if prefix is not None and not r["path"].startswith(prefix)]

    def reset(self, prefix=None):
        """Without a prefix everything goes, the proxy settings too; with one, only that prefix's paths."""
        self.clear_records(prefix)
        with self._lock:
            if prefix is None:
                self._behaviours.clear()
                self._proxy = ProxySettings()
            else:
                for path in [p for p in self._behaviours if p.startswith(prefix)]:
                    del self._behaviours[path]

    def set_proxy(self, settings):
        settings = ProxySettings(settings)
        with self._lock:
            self._proxy = settings

    def proxy_description(self):
        with self._lock:
            return self._proxy.describe()

    def proxy_admits(self, proxy_authorization):
        """Decides one proxied request: the first challenge_count requests are refused whatever they carry,
        later ones when credentials are set and not matched. Returns (admitted, realm); refused means 407."""
        with self._lock:
            proxy = self._proxy
            forced = proxy.forced_left > 0
            if forced:
                proxy.forced_left -= 1
            if forced or (proxy.credentials is not None
                          and not credentials_match(proxy_authorization, basic_credentials(proxy.credentials))):
                proxy.challenges_sent += 1
                return False, proxy.realm
            proxy.forwarded += 1
            return True, proxy.realm
