"""Scenarios: what the stand-in answers to a service request, checked once when set."""

import base64
import http
import os

from bodygen import generated_body

ACTIONS = ("respond", "raw", "close", "reset", "silent")
FIELDS = {
    "action", "status", "reason", "version", "status_line", "headers",
    "content_length", "body", "delay", "chunk_size", "chunk_delay",
    "reset_after", "stall_after", "hold_open",
}
BODY_KINDS = ("text", "hex", "base64", "file", "size")


class ScenarioError(ValueError):
    pass


def _number(desc, name, default, kind=float, minimum=0):
    value = desc.get(name, default)
    if value is None:
        return None
    if isinstance(value, bool) or not isinstance(value, (int, float)) or \
            (kind is int and not isinstance(value, int)):
        raise ScenarioError("%s must be a%s number" % (name, "n integer" if kind is int else ""))
    if value < minimum:
        raise ScenarioError("%s must be at least %s" % (name, minimum))
    return kind(value)


def _body(desc):
    if desc is None:
        return b""
    if isinstance(desc, str):
        return desc.encode("utf-8")
    if not isinstance(desc, dict):
        raise ScenarioError("body must be a string or an object")
    kinds = [k for k in BODY_KINDS if k in desc]
    extra = set(desc) - set(BODY_KINDS) - {"seed"}
    if len(kinds) != 1 or extra or ("seed" in desc and kinds != ["size"]):
        raise ScenarioError("body needs exactly one of %s (seed only with size)" % ", ".join(BODY_KINDS))
    kind, value = kinds[0], desc[kinds[0]]
    try:
        if kind == "text":
            return value.encode("utf-8")
        if kind == "hex":
            return bytes.fromhex(value)
        if kind == "base64":
            return base64.b64decode(value, validate=True)
        if kind == "file":
            with open(os.fspath(value), "rb") as f:
                return f.read()
    except (AttributeError, TypeError, ValueError, OSError) as e:
        raise ScenarioError("body %s: %s" % (kind, e)) from None
    size = _number(desc, "size", 0, int)
    seed = _number(desc, "seed", 0, int)
    if seed > 0xFFFFFFFF:
        raise ScenarioError("seed must fit in 32 bits")
    return generated_body(size, seed)


def _header_line(item):
    if isinstance(item, str):
        return item
    if isinstance(item, list) and len(item) == 2 and all(isinstance(x, str) for x in item):
        return "%s: %s" % (item[0], item[1])
    raise ScenarioError("each header is a raw line (string) or a [name, value] pair")


class Scenario:
    """One answer, built from a JSON object; see README.md for the fields."""

    def __init__(self, desc):
        if not isinstance(desc, dict):
            raise ScenarioError("a scenario is a JSON object")
        unknown = set(desc) - FIELDS
        if unknown:
            raise ScenarioError("unknown scenario field(s): %s" % ", ".join(sorted(unknown)))
        self.desc = desc
        self.action = desc.get("action", "respond")
        if self.action not in ACTIONS:
            raise ScenarioError("action must be one of %s" % ", ".join(ACTIONS))
        self.body = _body(desc.get("body"))
        self.delay = _number(desc, "delay", 0.0)
        self.chunk_size = _number(desc, "chunk_size", None, int, 1)
        self.chunk_delay = _number(desc, "chunk_delay", 0.0)
        self.reset_after = _number(desc, "reset_after", None, int)
        self.stall_after = _number(desc, "stall_after", None, int)
        if self.reset_after is not None and self.stall_after is not None:
            raise ScenarioError("reset_after and stall_after exclude each other")
        self.hold_open = _number(desc, "hold_open", 0.0)
        self.head = self._head(desc) if self.action == "respond" else b""

    def _head(self, desc):
        status = _number(desc, "status", 200, int)
        if "status_line" in desc:
            status_line = desc["status_line"]
            if not isinstance(status_line, str):
                raise ScenarioError("status_line must be a string")
        else:
            version = desc.get("version", "HTTP/1.0")
            reason = desc.get("reason")
            if reason is None:
                try:
                    reason = http.HTTPStatus(status).phrase
                except ValueError:
                    reason = "Unknown"
            if not isinstance(version, str) or not isinstance(reason, str):
                raise ScenarioError("version and reason must be strings")
            status_line = "%s %d %s" % (version, status, reason)
        lines = [status_line]
        length = desc.get("content_length", "auto")
        if length == "auto":
            lines.append("Content-Length: %d" % len(self.body))
        elif isinstance(length, (int, str)) and not isinstance(length, bool):
            lines.append("Content-Length: %s" % length)
        elif length is not None:
            raise ScenarioError('content_length must be "auto", null, a number or a string')
        headers = desc.get("headers", [])
        if not isinstance(headers, list):
            raise ScenarioError("headers must be a list")
        lines.extend(_header_line(h) for h in headers)
        return ("\r\n".join(lines) + "\r\n\r\n").encode("utf-8")


def scenarios_from_json(value):
    """A JSON object answers every request; a list answers requests in turn, its last entry repeating."""
    items = value if isinstance(value, list) else [value]
    if not items:
        raise ScenarioError("a scenario list needs at least one entry")
    return [Scenario(item) for item in items]
