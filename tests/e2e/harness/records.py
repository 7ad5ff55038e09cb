"""The records standinctl prints (tab-separated key=value) and the stand-in's log lines, as Python values."""


def _unescape(text):
    out = []
    i = 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            nxt = text[i + 1]
            out.append({"t": "\t", "n": "\n", "r": "\r", "\\": "\\"}.get(nxt, nxt))
            i += 2
            continue
        out.append(c)
        i += 1
    return "".join(out)


_HANDLE_KEYS = {"hwnd", "owner", "parent", "host", "root", "active", "focus", "capture", "window", "style", "exstyle"}
_INT_KEYS = {"pid", "tid", "index", "cancel", "disp", "sinks", "obj", "cookie", "verb", "x", "y", "dispid", "msg", "key",
             "hr", "option", "level", "status", "frame", "gpu", "emulation", "theme"}
_BOOL_KEYS = {"visible", "minimized", "maximized", "focused"}
_RECT_KEYS = {"rect", "client"}


def _convert(key, value):
    try:
        if key in _HANDLE_KEYS:
            return int(value, 16)
        if key in _INT_KEYS:
            return int(value, 0)
        if key in _BOOL_KEYS:
            return value == "1"
        if key in _RECT_KEYS:
            return tuple(int(v) for v in value.split(","))
    except ValueError:
        pass
    return value


def parse_record(line):
    """One tab-separated key=value line of standinctl into a dict (handles, numbers, rects converted)."""
    record = {}
    for field in line.rstrip("\n").split("\t"):
        key, sep, value = field.partition("=")
        if sep:
            record[key] = _convert(key, _unescape(value))
    return record


class LogEntry:
    """One stand-in log line: '<pid> <event> <details>', details as key=value words, url= last."""

    def __init__(self, line):
        self.line = line
        parts = line.split(" ", 2)
        self.pid = int(parts[0]) if parts and parts[0].isdigit() else -1
        self.event = parts[1] if len(parts) > 1 else ""
        self.details = parts[2] if len(parts) > 2 else ""
        self.fields = {}
        details = self.details
        url_at = details.find("url=")
        while url_at > 0 and details[url_at - 1] != " ":
            url_at = details.find("url=", url_at + 1)
        if url_at >= 0:
            self.fields["url"] = details[url_at + 4:]
            details = details[:url_at]
        for word in details.split():
            key, sep, value = word.partition("=")
            if sep:
                self.fields[key] = _convert(key, value)

    def get(self, key, default=None):
        return self.fields.get(key, default)

    def __repr__(self):
        return "LogEntry(%r)" % self.line
