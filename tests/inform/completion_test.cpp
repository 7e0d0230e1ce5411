// Where completion offers names and which: the kind a place asks for, read from the text before
// the caret, and the names of an index in the order offered.
#include <gtest/gtest.h>

#include "completion.h"
#include "language_index.h"
#include "object_scanner.h"

namespace {

using C = ECompletionContext;

// "|" marks the caret.
CCompletionSite SiteOf(std::string text, bool inString = false) {
  const auto caret = text.find('|');
  text.erase(caret, 1);
  return FindCompletionSite(text, static_cast<int>(caret), inString);
}

TEST(CompletionSite, EachPlaceAsksForItsKindAndStringsAndCommentsForNone) {
  const std::vector<std::tuple<std::string, C, std::string>> rows = {
      {"x = ##Ta|", C::Action, "Ta"},       {"  <Take noun>; if (obj has li|", C::Attribute, "li"},
      {"if (x hasnt |", C::Attribute, ""},  {"  has light ~op|", C::Attribute, "op"},
      {"give lamp light ~|", C::Attribute, ""}, {"give |", C::Any, ""},
      {"if (x ofclass Ro|", C::Class, "Ro"}, {"Object a \"b\" class |", C::Class, ""},
      {"if (x provides de|", C::Property, "de"}, {"  with |", C::Property, ""},
      {"  with name |", C::Any, ""},         {"x = lamp.we|", C::Property, "we"},
      {"x = (a).|", C::Property, ""},        {"x = lamp.&na|", C::Property, "na"},
      {"x = 1.|", C::Any, ""},               {"x = arr-->|", C::Value, ""},
      {"  * noun -> Ta|", C::Action, "Ta"},  {"x = a->|", C::Any, ""},
      {"print \"it has |", C::None, ""},     {"x = 1; ! has |", C::None, ""},
      {"x = $F|", C::None, ""},              {"x = 12|", C::None, ""},
      {"x = 'has |", C::None, ""},           {"x = 'it' + HAS |", C::Attribute, ""},
      {"Lam|", C::Any, "Lam"},
  };
  for (const auto& [text, context, prefix] : rows) {
    const CCompletionSite site = SiteOf(text);
    EXPECT_EQ(site.context, context) << text;
    if (context != C::None) {
      EXPECT_EQ(site.prefix, prefix) << text;
      EXPECT_EQ(site.wordStart, static_cast<int>(text.find('|') - prefix.size())) << text;
    }
  }
  EXPECT_EQ(SiteOf("still in\" a string; x has |", true).context, C::Attribute);
  EXPECT_EQ(SiteOf("still in a string has |", true).context, C::None);
}

TEST(CompletionSite, TriggersAreTheTypedEndsOfTheseKeywordsAndSymbolsOnly) {
  const std::vector<std::pair<std::string, bool>> rows = {
      {"x = ##", true},   {"x = #", false},     {"x = ###", false},   {"lamp.", true},
      {"f().", true},     {"1.", false},        {". ", false},        {"a-->", true},
      {"a->", false},     {"x has ", true},     {"x HASNT ", true},   {"ofclass ", true},
      {"provides ", true}, {"  with ", true},   {"x has  ", false},   {"x.has ", false},
      {"chas ", false},   {"\"a.", false},      {"! x has ", false},  {"x has", false},
  };
  for (const auto& [text, fires] : rows)
    EXPECT_EQ(IsCompletionTrigger(text, static_cast<int>(text.size()), false), fires) << text;
  EXPECT_FALSE(IsCompletionTrigger("x has ", 0, false));
  EXPECT_FALSE(IsCompletionTrigger("open string. lamp.", 18, true));
}

TEST(CompletionCatalogue, OwnNamesComeBeforeTheLibrarysEachAlphabeticalAndOfTheFittingKind) {
  CLanguageIndex index;
  const int game = index.FileId("game.inf");
  const int lib = index.FileId("lib.h");
  index.IndexFile(lib, CStringLineSource::FromText("Attribute light;\nAttribute lit;\nProperty label;\n"
                                                   "[ LookSub; ];\nClass Lab;\nGlobal lamps;\n"));
  index.IndexFile(game, CStringLineSource::FromText("Attribute lumpy;\nObject Lamp with lustre 1, label 2;\n"
                                                    "[ LeapSub; ];\nConstant LIMIT 3;\nVerb 'jump' * -> Leap;\n"));
  CCompletionCatalogue catalogue;
  catalogue.Build(index, [lib](int file) { return file == lib; });
  const auto names = [&](C context, std::string_view prefix, std::size_t limit = SIZE_MAX) {
    std::string out;
    for (const CCompletionItem& item : catalogue.Candidates(context, prefix, limit))
      out += (out.empty() ? "" : " ") + item.name + ":" + IndexKindName(item.kind) + (item.library ? "*" : "");
    return out;
  };
  EXPECT_EQ(names(C::Attribute, "l"), "lumpy:attribute light:attribute* lit:attribute*");
  EXPECT_EQ(names(C::Attribute, "LI"), "light:attribute* lit:attribute*");
  EXPECT_EQ(names(C::Property, "l"), "lustre:individual-property label:property*");
  EXPECT_EQ(names(C::Action, ""), "Leap:action Look:action*");
  EXPECT_EQ(names(C::Class, "la"), "Lab:class*");
  EXPECT_EQ(names(C::Value, "l"), "LIMIT:constant lamps:global*");
  EXPECT_EQ(names(C::Any, "lea"), "Leap:action LeapSub:routine");
  EXPECT_EQ(names(C::Any, "la", 2), "Lamp:object Lab:class*");
  EXPECT_EQ(names(C::None, ""), "");
  EXPECT_EQ(names(C::Any, "leap:"), "");
}

} // namespace
