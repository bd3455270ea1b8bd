"""Reads a poll's CSV with Python's own csv module and checks it against
the poll's JSON Lines: same rounds, same columns, same values."""
import csv
import json
import sys


def unmarked(field):
    """The text of a field: one a spreadsheet would take for a formula (=, +,
    -, @, TAB or CR after any apostrophes) is written with one more
    apostrophe in front, taken off here."""
    rest = field.lstrip("'")
    if field.startswith("'") and rest[:1] in ("=", "+", "-", "@", "\t", "\r"):
        return field[1:]
    return field


csv_path, jsonl_path, commands = sys.argv[1], sys.argv[2], sys.argv[3:]
with open(csv_path, newline="", encoding="utf-8") as f:
    rows = [[unmarked(field) for field in row] for row in csv.reader(f, strict=True)]
with open(jsonl_path, encoding="utf-8") as f:
    readings = [json.loads(line) for line in f]

assert rows[0] == ["time"] + commands, rows[0]
rounds = rows[1:]
assert len(readings) == len(rounds) * len(commands), (len(readings), len(rounds))
for r, row in enumerate(rounds):
    assert len(row) == 1 + len(commands), row
    for c, field in enumerate(row[1:]):
        reading = readings[r * len(commands) + c]
        assert reading["command"] == commands[c]
        value = reading["value"]
        if value is None:
            assert field == "", field
        elif isinstance(value, str):
            assert field == value, (field, value)
        else:
            assert float(field) == value, (field, value)
    # The row has the time its round started, before its first exchange.
    assert row[0] <= readings[r * len(commands)]["time"], row[0]
print("ok", len(rounds))
