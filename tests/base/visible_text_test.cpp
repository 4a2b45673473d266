#include "base/visible_text.h"

#include <gtest/gtest.h>

namespace {

// Control characters become their pictures or code points; letters, signs and the euro stay.
TEST(VisibleText, ControlCharactersShownOtherTextKept) {
  const struct {
    const char* text;
    bool keepLineFeeds;
    const char* shown;
  } cases[] = {
      {"Málaga, Žár, Tešín „Quelle” ™ 5 €", false, "Málaga, Žár, Tešín „Quelle” ™ 5 €"},
      {"12\x07"
       "3",
       false, "12␇3"},
      {"\x1b[2J\x1b]0;x\x07", false, "␛[2J␛]0;x␇"},
      {"a\r\nb\tc\x7f", false, "a␍␊b␉c␡"},
      {"a\r\nb", true, "a␍\nb"},
      {"\x1f|\x01", false, "␟|␁"},
      {"\xC2\x85"
       "x\xC2\x9B"
       "y\xC2\xA0"
       "z",
       false,
       "<U+0085>x<U+009B>y\xC2\xA0"
       "z"},
      {"ab\xE2\x80\xAE"
       "cd\xE2\x81\xA6"
       "e\xE2\x80\x8F",
       false, "ab<U+202E>cd<U+2066>e<U+200F>"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(base::visibleText(c.text, c.keepLineFeeds), c.shown) << c.text;
  EXPECT_EQ(base::visibleText(std::string("a\0b", 3)), "a␀b");
}

}  // namespace
