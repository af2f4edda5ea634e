"""The statistics page in the program's report markup: "<css=h1>" headings, "<css=rou>" figures,
"<b>", "<br>" line breaks. Plain text never holds a bare "<"."""

import datetime
import re

SOLVE_ACTION = re.compile(r"^schema([1-9]|[1-3][0-9]|4[0-2])$")
CURVE_ACTION = "tube"
CIRCUITS = 42
TOP_CIRCUITS = 10
RECENT_DAYS = 30


def circuit_of(action):
    """The circuit number of a solve action ("schema7" -> 7), or None."""
    m = SOLVE_ACTION.match(action)
    return int(m.group(1)) if m else None


def _figure(n):
    return "<css=rou>%d</css>" % n


def _plural(n, word):
    return word if n == 1 else word + "s"


def _count(n, word):
    return "%s %s" % (_figure(n), _plural(n, word))


def _heading(text):
    return "<css=h1>%s</css><br>" % text


def _solves(counts):
    return sum(n for action, n in counts.items() if circuit_of(action) is not None)


def render_statistics(totals, first_day, recent, today, notice=""):
    """totals: action -> count over all days; first_day: ISO date or None; recent: ISO date ->
    {action: count}; today: datetime.date; notice: operator's markup shown under the title."""
    out = [_heading("Valvenix usage statistics")]
    if notice:
        out.append(notice.rstrip("\r\n") + "<br>")
    out.append("<br>")
    if not totals:
        out.append("No usage has been recorded yet.<br>")
        return "".join(out)

    solved = sorted(
        ((n, circuit_of(a)) for a, n in totals.items() if circuit_of(a) is not None),
        key=lambda item: (-item[0], item[1]),
    )
    out.append(_heading("Totals"))
    out.append("Since %s<br>" % first_day)
    out.append("Solves: %s<br>" % _figure(_solves(totals)))
    out.append("Curve drawings: %s<br>" % _figure(totals.get(CURVE_ACTION, 0)))
    out.append("Circuits solved at least once: %s of %d<br>" % (_figure(len(solved)), CIRCUITS))
    out.append("<br>")

    out.append(_heading("Most solved circuits"))
    if not solved:
        out.append("No circuit has been solved yet.<br>")
    for rank, (n, circuit) in enumerate(solved[:TOP_CIRCUITS], start=1):
        out.append("%d. <b>C%d</b>: %s<br>" % (rank, circuit, _count(n, "solve")))
    out.append("<br>")

    out.append(_heading("Last %d days" % RECENT_DAYS))
    period_solves = period_curves = 0
    lines = []
    for back in range(RECENT_DAYS):
        day = (today - datetime.timedelta(days=back)).isoformat()
        counts = recent.get(day, {})
        solves, curves = _solves(counts), counts.get(CURVE_ACTION, 0)
        period_solves += solves
        period_curves += curves
        if solves or curves:
            lines.append("%s: %s, %s<br>" % (day, _count(solves, "solve"), _count(curves, "curve drawing")))
    out.append("<b>In all: %d %s, %d %s</b><br>" % (period_solves, _plural(period_solves, "solve"),
                                                   period_curves, _plural(period_curves, "curve drawing")))
    out.extend(lines or ["No activity in these days.<br>"])
    return "".join(out)
