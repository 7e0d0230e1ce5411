// The output bar against a plain model of the output: random chunks, line separators, CR, LF and
// CR LF line ends, messages split anywhere, lines too long to be messages, a limit on the text.
#include <random>

#include <QRegularExpression>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include "output_bar.h"

TEST(OutputBar, LinesAndMessagesStayTheLinesOfTheOutput) {
  const QByteArray pieces[] = {"x", " ", "\xc3\xa9", "\xe2\x82\xac", "\xe2\x80\xa8", "\xe2\x80\xa9", "\xef\xb7\x90", "\xef\xb7\x91", QByteArray(17000, 'x')};
  for (unsigned seed = 1; seed <= 40; ++seed) {
    std::mt19937 random(seed);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    QStringList lines, messages; // lines as the bar must show them, a separator as U+FFFD; "index where"
    QByteArray stream;
    bool open = false; // the last line longer than the limit, not ended yet
    for (int i = 0, kind = 0; i < 200; ++i) {
      const QByteArray file = "f" + QByteArray::number(pick(3)) + ".h", at = QByteArray::number(1 + pick(99));
      kind = (kind == 1 || kind == 2) && pick(2) ? 3 : pick(3); // 3, the compiler's echo, only under a message
      QByteArray line = QList<QByteArray>{"", "\"" + file + "\", line " + at + ": Error: ", "line " + at + ": Warning: ", ">   f1.h(5): Error: "}[kind];
      for (int n = pick(30); n >= 0; --n) line += pieces[kind || pick(3000) ? pick(8) : 8];
      open = !kind && i == 199;
      lines << QString::fromUtf8(line).replace(QRegularExpression("[\u2028\u2029\ufdd0\ufdd1]"), "\ufffd");
      if (kind == 1 || kind == 2) messages << QString::number(i) + " " + (kind == 1 ? "/g/" + file : "/g/adv.inf") + ":" + at;
      stream += open ? line + pieces[8] : line + QList<QByteArray>{"\n", "\r", "\r\n"}[pick(3)];
      lines.back() += open ? QString(17000, 'x') : "";
      if (seed % 2 && lines.back().size() > 16384) lines.back() = lines.back().left(16384) + " [the rest of this line is not shown]";
    }
    COutputBar bar;
    bar.Clear("/g/adv.inf");
    const qsizetype limit = seed % 2 ? 1 << 20 : 300 + pick(700);
    bar.SetLimit(limit);
    for (qsizetype at = 0, size = 0; at < stream.size(); at += size) {
      bar.AppendText(stream.mid(at, size = 1 + pick(pick(4) ? 40 : 4000)));
      if (!pick(9)) bar.Flush();
    }
    const qint64 dropped = bar.DroppedLines();
    const QString text = bar.Text(), kept = lines.mid(dropped).join("\n") + (dropped < 200 && !open ? "\n" : "");
    const QString note = QString("[%1 earlier line%2 dropped]\n").arg(dropped).arg(dropped == 1 ? "" : "s");
    const QString cut = QString(note).replace(" dropped", " and the start of the next dropped");
    if (text.startsWith(cut)) { // a line longer than the limit lost its start
      EXPECT_TRUE(kept.endsWith(text.mid(cut.size())) && text.size() - cut.size() >= limit - limit / 8) << seed;
    } else {
      EXPECT_EQ(text.toStdString(), ((dropped ? note : "") + kept).toStdString());
      EXPECT_TRUE(kept.size() <= limit && (!dropped || kept.size() + lines[dropped - 1].size() + 1 > limit - limit / 8)) << seed;
    }
    QSignalSpy spy(&bar, &COutputBar::messageActivated);
    QStringList seen, expected;
    while (bar.NextMessage()) seen << bar.textCursor().selectedText() + " " + spy.back()[0].toString() + ":" + spy.back()[1].toString();
    for (const QString& message : messages)
      if (const int index = message.section(' ', 0, 0).toInt(); index >= dropped) expected << lines[index] + message.mid(message.indexOf(' '));
    EXPECT_EQ(seen.join("\n").toStdString(), expected.join("\n").toStdString()) << seed;
  }
}
