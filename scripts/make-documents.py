#!/usr/bin/env python3
"""Writes the two rich-text documents the program carries: the pass-line table and the readme.

The output is committed. The build runs it with the chime's name it installs:
    cmake --build build --target documents
Both documents share one header (code page 932, Japanese, "ＭＳ ゴシック" 9 pt), write every
non-ASCII character as code-page-932 byte escapes and end each line with a paragraph mark.
"""

import argparse
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "src", "resources")

IDEO = "\u3000"  # full-width space, two cells


def cells(text):
    """Width in half-width cells: ASCII and half-width katakana take one, the rest two."""
    width = 0
    for ch in text:
        code = ord(ch)
        width += 1 if code < 0x80 or 0xFF61 <= code <= 0xFF9F else 2
    return width


def fill(n):
    """n cells of blank: full-width spaces, and one half-width space when n is odd."""
    return IDEO * (n // 2) + " " * (n % 2)


def columns(*placed):
    """A line with each (cell, text) starting exactly at its cell."""
    line = ""
    for cell, text in placed:
        gap = cell - cells(line)
        if gap < 0:
            sys.exit("column at cell %d overlaps %r" % (cell, line))
        line += fill(gap) + text
    return line


def rtf_escape(text):
    out = []
    for ch in text:
        if ch in "\\{}":
            out.append("\\" + ch)
        elif ord(ch) < 0x80:
            out.append(ch)
        else:
            out.extend("\\'%02x" % b for b in ch.encode("cp932"))
    return "".join(out)


# The characters a line may not start with (\fchars) or end with (\lchars) in Japanese text.
FCHARS = "!),.:;?]}°’”‰′″℃、。々〉》」』】〕ゝゞ・ヽヾ！％），．：；？］｝｡｣､･ﾞﾟ￠"
LCHARS = "([{‘“〈《「『【〔（［｛｢￡￥"


def rtf_document(lines):
    head = (
        "{\\rtf1\\ansi\\ansicpg932\\deff0\\deftab720"
        "{\\fonttbl{\\f0\\fswiss MS Sans Serif;}{\\f1\\froman\\fcharset2 Symbol;}"
        "{\\f2\\fmodern\\fcharset128 " + rtf_escape("ＭＳ ゴシック") + ";}}\r\n"
        "{\\colortbl\\red0\\green0\\blue0;}\r\n"
        "{\\fchars " + rtf_escape(FCHARS) + "}\r\n"
        "{\\lchars " + rtf_escape(LCHARS) + "}\r\n"
        "\\deflang1041\\pard\\plain\\f2\\fs18 "
    )
    body = "".join(rtf_escape(line) + "\\par\r\n" for line in lines)
    return (head + body + "}\r\n").encode("ascii")


# ---------------------------------------------------------------------------------------------
# Pass lines of the law, engineering and medical faculties.

LAW, ENG, MED = "法", "工", "医"
TIREKI, KOMIN = "地歴", "地歴・公民"
ALL9 = "計９科目から１つ"
MATH_A = "数ⅠAは必須、数ⅡB、工、簿、情報から１つ"
MATH_B = "数Ⅰ、数ⅠAから１つ、数ⅡB、工、簿、情報から１つ"
MATH_C = "数ⅠA必須、数ⅡB、工、簿、情報から１つ"
SCI_ALL = "物B、化B、生B、地学Bから１つ"
SCI_SOGO = "総理、物B、化B、生B、地学Bから１つ"

ENTRIES = [
    ("北海道", LAW, TIREKI, "世B、日B、地理Bから１つ", MATH_A, SCI_ALL, "８０．３％"),
    ("北海道", ENG, KOMIN, "世B、日B、地理B、現社、政経、倫理から１つ", MATH_A, SCI_ALL, "８１．５％"),
    ("北海道", MED, KOMIN, "世B、日B、地理B、現社、政経、倫理から１つ", MATH_A,
     "物B、生Bから１つ、化B、地学Bから１つ", "９１．７％"),
    ("東北", LAW, TIREKI, "世B、日B、地理Bから１つ", MATH_A, SCI_ALL, "８６．９％"),
    ("東北", ENG, KOMIN, ALL9, MATH_A, SCI_ALL, "８５．０％"),
    ("東北", MED, KOMIN, "世B、日B、地理B、現社から１つ", MATH_A, "物B、生B、化Bから１つ", "９２．９％"),
    ("東京", LAW, KOMIN, ALL9, MATH_A, SCI_ALL, "９２．１％"),
    ("東京", ENG, KOMIN, ALL9, MATH_A, SCI_ALL, "９２．５％"),
    ("東京", MED, KOMIN, ALL9, MATH_A, SCI_ALL, "９６．０％"),
    ("名古屋", LAW, KOMIN, "世B、日B、地理B、現社、政経、倫理から１つ", MATH_B, SCI_SOGO, "８５．５％"),
    ("名古屋", ENG, KOMIN, ALL9, MATH_B, "総理、物B、化Bから１つ", "８７．０％"),
    ("名古屋", MED, KOMIN, "世B、日B、地理B、現社、政経、倫理から１つ", MATH_C,
     "総理、物B、化B、生Bから１つ", "９３．４％"),
    ("京都", LAW, TIREKI, "世B、日B、地理Bから１つ", "数ⅠA、数ⅡB", "物B、化B", "８９．２％"),
    ("京都", ENG, TIREKI, "世B、日B、地理Bから１つ", MATH_A, SCI_ALL, "８９．４％"),
    ("京都", MED, KOMIN, "世B、日B、地理A、地理B、現社、政経、倫理から１つ", MATH_A,
     "物B、化B、生B、地学Bから１", "９５．０％"),
    ("大阪", LAW, KOMIN, "世B、日B、地理B、現社、政経、倫理から１つ", MATH_C, SCI_SOGO, "８８．１％"),
    ("大阪", ENG, KOMIN, ALL9, MATH_A, SCI_SOGO, "８８．１％"),
    ("大阪", MED, KOMIN, ALL9, MATH_A, SCI_ALL, "９３．５％"),
    ("九州", LAW, KOMIN, "世B、日B、地理B、現社から１つ", MATH_C, SCI_SOGO, "８６．７％"),
    ("九州", ENG, KOMIN, "世B、日B、地理B、現社から１つ", MATH_C, SCI_SOGO, "８４．０％"),
    ("九州", MED, KOMIN, "世B、日B、地理B、現社から１つ", MATH_C, SCI_SOGO, "９４．０％"),
]


def passline_lines():
    lines = [columns((2, "旧帝国大学"), (20, "学部名"), (38, "受験科目"), (100, "合格ライン（１科目平均）")), ""]
    previous = None
    for index, (univ, faculty, social, social_req, math, science, rate) in enumerate(ENTRIES):
        if index:
            lines.append("")
        first = [(4, univ)] if univ != previous else []
        previous = univ
        lines.append(columns(*first, (22, faculty), (34, "国"), (38, "―"), (42, "国語Ⅰ・Ⅱ"), (110, rate)))
        lines.append(columns((34, social + IDEO + "―" + IDEO + social_req)))
        lines.append(columns((34, "数"), (38, "―"), (42, math)))
        lines.append(columns((34, "理"), (38, "―"), (42, science)))
        lines.append(columns((34, "外")))
    assert len(lines) == 127, len(lines)
    assert cells(lines[0]) == 124 and max(cells(l) for l in lines) == 124
    return lines


# ---------------------------------------------------------------------------------------------
# The readme.

RUNTIME = "Qt 6"            # the runtime the program needs, as named in the introduction
RUNTIME_FILE = "Qt6Core.dll"  # its core library, as named in the file list


def file_line(name, size, date, wide=False):
    opening, closing = ("（", "）") if wide else ("(", ")")
    inner = size.rjust(7 - (1 if wide else 0)) + "    " + date + " "
    return IDEO * 8 + "・" + name.ljust(16) + opening + inner + closing


def readme_lines(chime):
    lines = [IDEO * 10, IDEO * 4 + "○○○○○　ソフトの説明　○○○○○", "", ""]
    lines += [
        "★はじめに", "",
        "「Bralden2000」をダウンロードしていただきまして、ありがとうございます。",
        "本ソフトは、実在のBraldenを参考にして作ったゲームです｡",
        "実行に必要な" + RUNTIME + " 基本ランタイム DLL (32 bit)を梱包して",
        "Setup.exeを作ったため、ファイル容量が大きくなってしまいました。（＾＾；",
        "[もっといい方法があると思いますが、自分の技量では限界でした]",
        "本ソフトが受験生の学力アップに役立つと嬉しいです。",
        "", "",
    ]
    lines += [
        "【ソフト名】Bralden2000(Kelvo）",
        "【掲載日】  2000/07/07 大安",
        "【ファイル】", "",
        file_line("00Kelvo.dat", "9KB", "00/07/03"),
        file_line("ASYCFILT.DLL", "145KB", "98/12/23"),
        file_line(RUNTIME_FILE, "1376KB", "98/09/25"),
        file_line("Mci32.ocx", "194KB", "98/06/24", wide=True),
        file_line("Richtx32.ocx", "199KB", "98/06/24"),
        file_line("Tabctl32.ocx", "205KB", "98/06/24"),
        file_line("Kelvo.exe", "752KB", "00/07/05"),
        file_line(chime, "128KB", "00/04/02"),
        IDEO * 8 + "・" + "Readme.txt".ljust(16) + "（いま読んでるファイル)",
        "", "", "",
    ]
    lines += ["★インストール方法 ", ""]
    lines += [IDEO + t + " " for t in (
        "1.ダウンロードしたファイルを任意のフォルダに復元してください。",
        "2.復元したフォルダのルートに存在する Setup.exe ファイルを実行してください。",
        "3.セットアップウィザードが起動されますので、")]
    lines += [IDEO * 2 + "後はウィザードの指示に従ってインストールを行なってください。 ", "", "", ""]
    lines += ["★アンインストール方法 ", ""]
    lines += [IDEO + t + " " for t in (
        "1.コントロールパネルを開きます。",
        "2.アプリケーションの追加と削除を実行します。",
        "3.ソフトウェアの一覧から「Bralden」を選択し、追加と削除のボタンを押します。",
        "4.アンインストールウィザードが起動しますので、",
        "後はウィザードの指示に従ってアンインストールを行なってください。")]
    lines += ["", "", ""]
    lines += ["★学習手順", ""]
    lines += [IDEO * 2 + t for t in (
        "１．「スタート」ボタンをクリックする。",
        "２．問題の解答を選んでチェックボックスをクリックする。",
        "３．制限時間がくるか、全て解答し終わったら「得点」ボタンをクリックする。")]
    lines += ["", IDEO, ""]
    lines += ["★著作権、配布、転載等について", "", "", "", IDEO, IDEO + "その際、著者への報告は必要ありません。",
              "・本ソフトウェアを使用した事によって生じたいかなる損害についても、",
              IDEO, IDEO + "各利用者の責任において使用してください。", "", "", ""]
    lines += [" ご意見ご希望お気づきの点を電子メールにてお知らせいただけると、",
              "次へのゲーム作りの励みになって嬉しいです。", "", " " * 14 + "2000/07/吉日"]
    assert len(lines) == 73, len(lines)
    return lines


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--chime", required=True, help="the chime's file name, listed in the readme")
    parser.add_argument("--out", default=OUT, help="the folder to write to (src/resources)")
    args = parser.parse_args()
    for name, lines in (("passline.rtf", passline_lines()), ("readme.rtf", readme_lines(args.chime))):
        with open(os.path.join(args.out, name), "wb") as out:
            out.write(rtf_document(lines))
        print("wrote", os.path.join(args.out, name), len(lines), "lines")


if __name__ == "__main__":
    main()
