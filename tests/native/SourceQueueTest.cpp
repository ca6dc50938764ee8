#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "copy/SourceQueue.h"

using namespace zv;

TEST(SourceQueue, EachSourceOnceInTheOrderItCame) {
  // Steps: "+K" adds the source with key K, "next" opens the next one, "clear" drops the waiting.
  struct Case {
    std::vector<std::wstring> steps;
    std::wstring result;  // "+" taken, "-" refused, the opened key, "." none left
  };
  const Case cases[] = {
      {{L"+A", L"+B", L"+C", L"next", L"next", L"next", L"next"}, L"+++ABC."},
      {{L"+A", L"+A", L"+B", L"+A"}, L"+-+-"},
      {{L"+A", L"next", L"+A", L"+B", L"next", L"+A"}, L"+A-+B+"},  // the open one is not queued again
      {{L"+A", L"next", L"next", L"+A", L"next"}, L"+A.+A"},         // once done it may come again
      {{L"+A", L"+B", L"+C", L"next", L"clear", L"next", L"+B"}, L"+++A.+"},
  };
  for (const auto& c : cases) {
    SourceQueue queue;
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
        result += queue.Add(src, step.substr(1)) ? L"+" : L"-";
      }
    }
    EXPECT_EQ(result, c.result) << c.steps.size() << " steps";
  }
}
