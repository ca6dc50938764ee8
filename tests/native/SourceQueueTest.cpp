#include <gtest/gtest.h>

#include <cwctype>
#include <string>
#include <vector>

#include "copy/SourceQueue.h"

using namespace zv;

TEST(SourceQueue, EachSourceOnceInTheOrderItCame) {
  // Steps: "+K" adds the source with key K, "next" opens the next one, "clear" drops the waiting.
  struct Case {
    std::vector<std::wstring> steps;
    std::wstring result;  // "+" taken, "-" refused, the opened path, "." none left
    int keysMade;         // a lone source is never keyed
  };
  const Case cases[] = {
      {{L"+A", L"+B", L"+C", L"next", L"next", L"next", L"next"}, L"+++ABC.", 3},
      {{L"+A", L"+A", L"+B", L"+A"}, L"+-+-", 4},
      {{L"+A", L"next", L"+A", L"+B", L"next", L"+A"}, L"+A-+B+", 4},  // the open one is not queued again
      {{L"+A", L"next", L"next", L"+A", L"next"}, L"+A.+A", 0},         // once done it may come again
      {{L"+A", L"+B", L"+C", L"next", L"clear", L"next", L"+B"}, L"+++A.+", 3},
      {{L"+a", L"next", L"+A", L"+b", L"+B"}, L"+a-+-", 4},  // told apart by key, not by path
  };
  for (const auto& c : cases) {
    int keysMade = 0;
    SourceQueue queue([&keysMade](const std::wstring& path) {
      ++keysMade;
      std::wstring key = path;
      for (auto& ch : key) ch = static_cast<wchar_t>(std::towupper(ch));
      return key;
    });
    std::wstring result;
    for (const auto& step : c.steps) {
      if (step == L"next") {
        const auto next = queue.Next();
        result += next ? next->SourcePath : L".";
      } else if (step == L"clear") {
        queue.Clear();
      } else {
        SourceRecord src;
        src.SourcePath = step.substr(1);
        result += queue.Add(src) ? L"+" : L"-";
      }
    }
    EXPECT_EQ(result, c.result) << c.steps.size() << " steps";
    EXPECT_EQ(keysMade, c.keysMade) << c.result;
  }
}
