"""Opens a record saved as CSV the way a spreadsheet user's script would (Python's csv module)
and checks that every column meant for computing holds what it says: numbers that parse, the
start as an ISO 8601 date and time with its offset, the status, the name and the code.

usage: csv_columns_test.py SITTING_WALK_PROGRAM WORK_DIR
"""

import csv
import datetime
import pathlib
import re
import subprocess
import sys

PROGRAM, WORK = sys.argv[1], pathlib.Path(sys.argv[2])
NAME = '山田 "はな", 花子'
NUMBERS = ['correction_S', 'correction_C', 'correction_A', 'result_S', 'result_C', 'result_A']
COUNTS = ['score', 'questions', 'steps', 'seconds']
# The procedure's figures: judged only once a case has ended; the hints always counted.
JUDGED = ['expert_questions', 'checks_passed', 'checks_made']
PLAIN = re.compile(r'-?[0-9]+(\.[0-9]+)?')

WORK.mkdir(parents=True, exist_ok=True)
path = WORK / 'record.csv'
path.write_bytes(subprocess.run([PROGRAM, '20261209', '3000', 'csv'], check=True, capture_output=True).stdout)

with path.open(encoding='utf-8-sig', newline='') as f:
    rows = list(csv.DictReader(f))

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


check(len(rows) >= 5, f'only {len(rows)} rows')
statuses = set()
for i, row in enumerate(rows, 1):
    where = f'row {i}'
    check(len(row) == 28 and None not in row and None not in row.values(), f'{where}: not 28 columns')
    status = row['status']
    statuses.add(status)
    check(status in ('ended', 'measuring', 'abandoned'), f'{where}: status {status!r}')
    for column in NUMBERS + COUNTS:
        value = row[column]
        # Only an ended case has a result and a score; a hidden correction is empty.
        may_be_empty = (column.startswith('result') or column == 'score') and status != 'ended' or (
            column.startswith('correction') and status == 'measuring')
        if value == '' and may_be_empty:
            continue
        check(PLAIN.fullmatch(value) is not None, f'{where}: {column} {value!r} is no plain number')
        if column in COUNTS:
            check(value.isdigit(), f'{where}: {column} {value!r} is no whole number')
    for column in ('result_S', 'result_C', 'result_A', 'score'):
        if status == 'ended':
            check(row[column] != '', f'{where}: an ended case without {column}')
        else:
            check(row[column] == '', f'{where}: a {status} case with {column} {row[column]!r}')
    for column in JUDGED:
        if status == 'ended':
            check(row[column].isdigit(), f'{where}: {column} {row[column]!r} is no whole number')
        else:
            check(row[column] == '', f'{where}: a {status} case judged, {column} {row[column]!r}')
    if status == 'ended':
        check(int(row['checks_passed']) <= int(row['checks_made']) and int(row['checks_made']) > 0,
              f'{where}: {row["checks_passed"]} of {row["checks_made"]} checks passed')
    check(row['hints'].isdigit(), f'{where}: hints {row["hints"]!r}')
    started = datetime.datetime.fromisoformat(row['started'])
    check(started.utcoffset() is not None, f'{where}: start {row["started"]!r} without an offset')
    check(re.fullmatch(r'\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d', row['started']) is not None,
          f'{where}: start {row["started"]!r}')
    check(row['name'] == NAME, f'{where}: name {row["name"]!r}')
    check(re.fullmatch(r'[0-9A-Z]{4}-[0-9A-Z]{4}-[0-9A-Z*~$=]', row['code']) is not None, f'{where}: code {row["code"]!r}')
    check(row['問題コード'] == row['code'], f'{where}: two codes')
check('ended' in statuses, 'no ended case in the walk')

if failures:
    print('\n'.join(failures))
    sys.exit(1)
print(f'{len(rows)} rows, statuses {sorted(statuses)}: every column parses')
