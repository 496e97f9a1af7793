#!/usr/bin/python3 -B
"""The installed Kelvo as a screen reader sees it, through the AT-SPI accessibility bus:
    tests/installed/a11y_kelvo.py <root> [--tree]   <root>/usr/bin/kelvo is the installed command
Walks the accessible tree with pyatspi: names, roles and reading order of the exam window
(blanks named by their items, page tabs, circle marks, score and time left), the pass-line and
help windows, the question document (tests/documents/question.dat, put in place through a
private mount namespace where one can be made; otherwise not checked), the score announced
when it changes, and no node that carries a caption of the answer key before or after a score
press. Ends the program through its menu and expects exit status 0. --tree prints the exam
window's tree. Exit 77 (skipped) when Xvfb, the D-Bus session, the accessibility bus or
pyatspi is missing."""

import os
import sys

import harness

NAME = "a11y-kelvo"
if __name__ == "__main__":
    harness.require_module(NAME, "pyatspi", "python3-pyatspi")
    COMMAND = harness.installed_command(NAME, sys.argv[1])
    if harness.can_unshare():
        os.environ["KELVO_A11Y_DOCUMENT"] = "1"
        harness.run_inside(("with-document", os.path.join(harness.SOURCE, "tests", "documents",
                                                          "question.dat"), "--"),
                           ("with-accessibility", "--"))
    harness.run_inside(("with-accessibility", "--"))

import pyatspi  # noqa: E402

import atspi_bus  # noqa: E402

from kelvo_atspi import (EXAM_TITLE, Failure, answer_sheet, application, check, find,
                         find_one, focused, nodes, press, print_tree, pump, role, showing,
                         Program, states, text_of, wait_for, window)


def key_captions():
    """The key captions a reader must never meet: those longer than one character (a single
    "3" or "a" is also a legitimate text of its own)."""
    return {caption for _, _, keys in answer_sheet() for _, caption in keys if len(caption) > 1}


def check_no_key(app, when, bus=None):
    """No key caption in the tree; with bus (name, recorder), none in any signal the program
    sent nor told by any object path it published, asked directly."""
    keys = key_captions()
    check(len(keys) > 50, f"only {len(keys)} key captions read from the table")
    if bus is not None:
        pump()
        looked_at, findings = atspi_bus.leaks(*bus, keys)
        check(looked_at > 300, f"{when}: only {looked_at} object paths on the bus")
        check(not findings, f"{when}: the key on the bus {len(findings)} times: " + "; ".join(findings[:5]))
    for node in nodes(app):
        check(not node.name.startswith("lbl正解"), f"{when}: a node named {node.name!r}")
        values = [("name", node.name), ("description", node.description)]
        # What the student types into a blank is the student's own.
        if role(node) != "text" or not states(node).contains(pyatspi.STATE_EDITABLE):
            values.append(("text", text_of(node)))
        try:
            values.append(("id", node.get_accessible_id()))
        except Exception:
            pass
        for what, value in values:
            check(value not in keys,
                  f"{when}: the {what} of [{role(node)}] {node.name!r} is a key caption: {value!r}")


def labelled_by(node):
    labels = []
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            labels += [relation.getTarget(i) for i in range(relation.getNTargets())]
    return labels


def check_exam_window(exam):
    pages = answer_sheet()
    captions = [caption for caption, _, _ in pages]

    # The two tab panels: page-tab lists of page tabs, one selected, read before their pages.
    lists = find(exam, "page tab list")
    check(len(lists) == 2, f"{len(lists)} page tab lists")
    questions, answers = lists
    check([t.name for t in find(questions, "page tab")] == ["問\u3000題", "図 １、図２"],
          "the question panel's tabs")
    tabs = find(answers, "page tab")
    check([t.name for t in tabs] == captions, "the answer panel's tabs, in order")
    check(sum(states(t).contains(pyatspi.STATE_SELECTED) for t in tabs) == 1,
          "one answer tab selected")
    check(states(tabs[0]).contains(pyatspi.STATE_SELECTED), "the first answer tab selected")
    check(all(states(t).contains(pyatspi.STATE_FOCUSABLE) for t in tabs), "tabs take the focus")
    check(not find(exam, "check box", predicate=lambda n: n.name in captions),
          "no tab is a check box")

    # Every blank named by its item, labelled by its 答え, after its tabs in reading order.
    order = nodes(exam)
    blanks = find(exam, "text", predicate=lambda n: n.name.endswith(" の答え"))
    expected = [f"{caption} の答え" for caption, _, keys in pages if keys]
    check(sorted(b.name for b in blanks) == sorted(expected),
          f"blank names: {sorted(set(expected) ^ set(b.name for b in blanks))}")
    for blank in blanks:
        # Its label 答え names the item too, since a reader speaks the label.
        check([l.name for l in labelled_by(blank)] == [blank.name],
              f"{blank.name} labelled by its 答え")
    first = next(b for b in blanks if b.name == "1-ｱｲｳ の答え")
    check(order.index(answers) < order.index(first), "the tabs before the pages")
    check(showing(first) and not showing(next(b for b in blanks if b.name == "6-ﾁﾂ の答え")),
          "the shown page's blank is showing, the others not")

    boxes = find(exam, "check box")
    check([b.name for b in boxes] == list("①②③④⑤⑥⑦⑧⑨"), "the choice page's boxes")

    # The circle marks are named images; the values are named with their values.
    marks = find(exam, "image", "正解")
    check(len(marks) == 56, f"{len(marks)} circle marks named 正解")
    find_one(exam, "label", "得点")
    find_one(exam, "label", "残り時間")


def check_question_view(exam):
    """The question document as the browser engine exposes it."""
    document = wait_for("the question document", lambda: next(
        (d for d in find(exam, "document web") if d.childCount > 0), None), 60)
    check(document.name == "問題の例", f"the document is named {document.name!r}")
    heading = wait_for("the heading", lambda: find(document, "heading"))
    check(heading[0].name == "第１問", f"the heading reads {heading[0].name!r}")
    texts = [n.name for n in nodes(document)]
    check(any("次の値を求めよ" in t for t in texts), "the paragraph's text")
    check(find(document, "table cell", "ア"), "the table's cells")
    roles = {}
    for node in nodes(document):
        roles[role(node)] = roles.get(role(node), 0) + 1
    print("a11y-kelvo: the question document exposes " +
          ", ".join(f"{count} {name}" for name, count in sorted(roles.items())))


def check_pass_line(app, exam):
    press(find_one(exam, "push button", "合格率"))
    line = window(app, "合格ライン")
    check(role(line) == "dialog", f"the pass-line window is a {role(line)}")
    check(line.description == "予測不能 勉強しても無駄です。 日本を脱出して一旗揚げましょう。",
          f"the pass-line window's verdict reads {line.description!r}")
    order = nodes(line)
    rate = find_one(line, "label", " 予測不能")
    comment = find_one(line, "label", predicate=lambda n: "日本を脱出" in n.name)
    view = find_one(line, "text")
    check(order.index(rate) < order.index(comment) < order.index(view),
          "the verdict before the table")
    check("旧帝国大学" in (text_of(view) or ""), "the table's text")
    focusable = [n for n in order if states(n).contains(pyatspi.STATE_FOCUSABLE)]
    check(focusable == [view], f"focusable: {[(role(n), n.name) for n in focusable]}")
    wait_for("the table to have the focus", lambda: focused(view))


def main():
    names = []  # the score label's names as announced

    def on_name(event):
        if role(event.source) == "label" and event.source.name.startswith("得点"):
            names.append(event.source.name)

    pyatspi.Registry.registerEventListener(on_name, "object:property-change:accessible-name")
    bus = atspi_bus.connect()
    recorder = atspi_bus.Recorder(bus)  # from before the program starts
    program = Program(NAME, [COMMAND])
    try:
        app = application(program.pid)
        on_bus = (bus, wait_for("the program's bus name",
                                lambda: atspi_bus.bus_name_of(bus, program.pid)), recorder)
        exam = window(app, EXAM_TITLE)
        check(role(exam) == "frame", f"the exam window is a {role(exam)}")
        if "--tree" in sys.argv:
            print_tree(exam)
        check_exam_window(exam)
        if os.environ.get("KELVO_A11Y_DOCUMENT"):
            check_question_view(exam)
        check_no_key(app, "before the score", on_bus)

        press(find_one(exam, "push button", "得\u3000点"))
        wait_for("the score 0 announced", lambda: "得点 0" in names)
        find_one(exam, "label", "得点 0")
        # Said through a notification, which a reader speaks as it appears.
        wait_for("the score's notice", lambda: find(exam, "notification", "得点 0",
                                                     predicate=showing))
        check_no_key(app, "after the score", on_bus)

        check_pass_line(app, exam)
        check_no_key(app, "with the pass-line window")
        help_item = find_one(app, "menu item", "バージョン情報(A)")
        press(help_item)
        help_window = window(app, "バージョン情報")
        check(role(help_window) == "frame", f"the help window is a {role(help_window)}")
        check(find(help_window, "text"), "the help text")

        press(find_one(app, "menu item", "終了(Q)"))
        wait_for("the program to end", lambda: program.poll() is not None, 30)
        check(program.returncode == 0, f"the program ended with status {program.returncode}")
    except Failure as failure:
        program.report(failure)
        return 1
    finally:
        program.stop()
        recorder.close()
    print("a11y-kelvo: names, roles, reading order, the question document, the score "
          "announced, the pass-line and help windows, no key caption anywhere: passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
