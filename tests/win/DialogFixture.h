// The frame of an in-process dialog test: the test's dialog is shown with Open and unloaded,
// with its messages run out, when the test ends.
#pragma once
#include <gtest/gtest.h>

#include "TestSupport.h"

namespace zv::test {

template <class FormT>
class DialogFixture : public ::testing::Test {
 protected:
  // The dialog is a member of the test class, not yet made when this is.
  explicit DialogFixture(FormT& form) : form_(form) {}
  void TearDown() override {
    if (form_.loaded()) form_.Unload();
    Pump();
  }
  void Open() {
    ASSERT_TRUE(form_.Show());
    Pump();
  }
  HWND Item(typename FormT::Ctl control, int index = -1) { return form_.Item(control, index); }

 private:
  FormT& form_;
};

}  // namespace zv::test
