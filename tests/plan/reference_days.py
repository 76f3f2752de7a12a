"""The days calendars take by the reference reader, Debian's python3-recurring-ical-events.

Usage: /usr/bin/python3 reference_days.py FOLDER FIRST LAST ZONE[,ZONE...] FILE...   (FILEs in FOLDER)
Prints "ZONE<TAB>FILE<TAB>SUMMARY<TAB>YYYY-MM-DD" for each day from FIRST to LAST (inclusive)
that an event touches, seen from ZONE: all-day events are their dates, timed events the local
days from their start to their last moment, floating times as they stand. Cancelled
events take no days. A calendar the reference cannot read gives "ZONE<TAB>FILE<TAB>unread".
"""
import datetime
import os
import sys

import icalendar
import pytz
import recurring_ical_events

ONE_DAY = datetime.timedelta(days=1)
TINY = datetime.timedelta(microseconds=1)


def days_of(start, stop, zone):
    if not isinstance(start, datetime.datetime):
        last = stop - ONE_DAY if stop > start else start
        return start, last
    if start.tzinfo is not None:
        start = start.astimezone(zone)
        stop = stop.astimezone(zone)
    last = stop - TINY if stop > start else start
    return start.date(), last.date()


def calendar_days(path, first, last, zone):
    with open(os.path.join(sys.argv[1], path), "rb") as f:
        calendar = icalendar.Calendar.from_ical(f.read())
    days = set()
    window_start = datetime.datetime.combine(first - ONE_DAY, datetime.time())
    window_stop = datetime.datetime.combine(last + 2 * ONE_DAY, datetime.time())
    for event in recurring_ical_events.of(calendar).between(window_start, window_stop):
        if str(event.get("STATUS", "")).upper() == "CANCELLED":
            continue
        start = event["DTSTART"].dt
        stop = event["DTEND"].dt if "DTEND" in event else start
        summary = str(event.get("SUMMARY", ""))
        day, end = days_of(start, stop, zone)
        while day <= end:
            if first <= day <= last:
                days.add((summary, day))
            day += ONE_DAY
    return days


def main():
    first = datetime.date.fromisoformat(sys.argv[2])
    last = datetime.date.fromisoformat(sys.argv[3])
    for zone_name in sys.argv[4].split(","):
        zone = pytz.timezone(zone_name)
        for path in sys.argv[5:]:
            try:
                days = sorted(calendar_days(path, first, last, zone))
            except (TypeError, ValueError):
                print(f"{zone_name}\t{path}\tunread")
                continue
            for summary, day in days:
                print(f"{zone_name}\t{path}\t{summary}\t{day.isoformat()}")


if __name__ == "__main__":
    main()
