"""Checks what an InfluxDB server answers to SELECT * FROM marrowlink
(epoch=ns) against the JSON Lines of the polls that wrote it: one point per
answered reading, at the exchange's start, with its port and command as
tags and its number or text as a field, bytes the protocol cannot carry in
the session record's escapes."""
import datetime
import json
import sys


def escaped(text):
    out = []
    for ch in text:
        code = ord(ch)
        if ch in "\\\t\r\n":
            out.append({"\\": "\\\\", "\t": "\\t", "\r": "\\r", "\n": "\\n"}[ch])
        elif code < 0x20 or code == 0x7F:
            out.append("\\x%02X" % code)
        else:
            out.append(ch)
    return "".join(out)


def tag(text):
    # The protocol refuses a tag that ends with a backslash, even escaped.
    return escaped(text[:-1]) + "\\x5C" if text.endswith("\\") else escaped(text)


answer_path, jsonl_paths = sys.argv[1], sys.argv[2:]
with open(answer_path, encoding="utf-8") as f:
    series = json.load(f)["results"][0]["series"]
assert len(series) == 1, series
columns = series[0]["columns"]
points = [dict(zip(columns, values)) for values in series[0]["values"]]

expected = []
for path in jsonl_paths:
    with open(path, encoding="utf-8") as f:
        for line in f:
            reading = json.loads(line)
            if reading["value"] is None:
                continue
            moment = datetime.datetime.fromisoformat(reading["time"])
            ms = round(moment.timestamp() * 1000)
            point = {"time": ms * 1000000, "port": reading["port"],
                     "command": tag(reading["command"]) or None,
                     "value": None, "text": None}
            if isinstance(reading["value"], str):
                point["text"] = escaped(reading["value"])
            else:
                point["value"] = float(reading["value"])
            expected.append(point)

key = lambda p: (p["time"], p["port"], p["command"] or "")
got = sorted(({c: p.get(c) for c in ("time", "port", "command", "value", "text")}
              for p in points), key=key)
expected.sort(key=key)
for g, e in zip(got, expected):
    assert g == e, (g, e)
assert len(got) == len(expected), (len(got), len(expected))
print("ok", len(got))
