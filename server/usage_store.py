"""Counts of usage actions per day in one SQLite file: one row per (day, action)."""

import sqlite3
import threading
from contextlib import closing

SCHEMA = """
CREATE TABLE IF NOT EXISTS counts (
    day    TEXT NOT NULL,     -- ISO date, UTC
    action TEXT NOT NULL,     -- "schema1" ... "schema42", "tube"
    n      INTEGER NOT NULL,
    PRIMARY KEY (day, action)
)
"""


class UsageStore:
    """Thread-safe access to the counts; a short-lived connection per call."""

    def __init__(self, path):
        self._path = path
        self._lock = threading.Lock()
        with self._connect() as conn:
            conn.execute(SCHEMA)

    def _connect(self):
        conn = sqlite3.connect(self._path, timeout=5)
        return closing(conn)

    def count(self, action, day):
        """Adds one to the action's count of that day."""
        with self._lock, self._connect() as conn, conn:
            conn.execute(
                "INSERT INTO counts (day, action, n) VALUES (?, ?, 1) "
                "ON CONFLICT (day, action) DO UPDATE SET n = n + 1",
                (day, action),
            )

    def totals(self):
        """Action -> count over all days."""
        with self._lock, self._connect() as conn:
            rows = conn.execute("SELECT action, SUM(n) FROM counts GROUP BY action")
            return {action: n for action, n in rows}

    def first_day(self):
        """The earliest day with a count, or None."""
        with self._lock, self._connect() as conn:
            return conn.execute("SELECT MIN(day) FROM counts").fetchone()[0]

    def days_since(self, first):
        """Day -> {action: count} for every day from `first` (ISO date) on."""
        with self._lock, self._connect() as conn:
            rows = conn.execute("SELECT day, action, n FROM counts WHERE day >= ?", (first,))
            days = {}
            for day, action, n in rows:
                days.setdefault(day, {})[action] = n
            return days
