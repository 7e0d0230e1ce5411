// torvane-cli scan on sources written by each test: records by name, then the scanner value.
#include <QTemporaryDir>

#include "cli_test_support.h"

namespace {

TEST(ScanCommand, ListsRecordsByNameWithAwkwardBytesEscaped) {
  const std::pair<QByteArray, std::string> rows[] = {
      {"! A small game\n"
       "Room kitchen \"Kitchen\"\n"
       "  with description \"A kitchen.\";\n"
       "Object -> table \"table\";\n"
       "Object -> -> Cup \"cup\";\n"
       "Nearby lamp \"lamp\";\n"
       "Object lamp \"second lamp\" kitchen;\n"
       "[ Main; ];\n"
       "[ Initialise;\n"
       "];\n"
       "[;\n",
       "object\tCup\ttable\t\t2\tObject -> -> Cup \"cup\";\n"
       "object\tkitchen\t\tRoom\t0\tRoom kitchen \"Kitchen\"\n"
       "object\tlamp\tkitchen\t\t1\tNearby lamp \"lamp\";\n"
       "object\tlamp[02]\tkitchen\t\t1\tObject lamp \"second lamp\" kit\n"
       "object\ttable\tkitchen\t\t1\tObject -> table \"table\";\n"
       "function\tInitialise\t[ Initialise;\n"
       "function\tMain\t[ Main; ];\n"
       "function\tUntitled\t[;\n"
       "depth\t2\n"},
      // Tabs, backslashes and bytes outside printable ASCII are escaped: one record, one line.
      {QByteArray("Object\tna\\me \"x\";\nObject caf\xe9 \"x\";\nObject c\x01\x7f \"x\";\n[ r\x1b;\n", 57),
       "object\tc\\x01\\x7f\t\t\t0\tObject c\\x01\\x7f \"x\";\n"
       "object\tcaf\\xe9\t\t\t0\tObject caf\\xe9 \"x\";\n"
       "object\tna\\\\me\t\t\t0\tObject\\tna\\\\me \"x\";\n"
       "function\tr\\x1b\t[ r\\x1b;\n"
       "depth\t0\n"},
      {QByteArray(), "depth\t0\n"},
  };
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("source.inf"));
  for (const auto& [source, listing] : rows) {
    ASSERT_TRUE(WriteBytes(path, source));
    const CliResult r = RunCli({QStringLiteral("scan"), path});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.toStdString(), listing);
    EXPECT_TRUE(r.err.isEmpty());
  }
}

} // namespace
