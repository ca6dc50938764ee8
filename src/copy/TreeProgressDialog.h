// How far the reading of a folder before its copy, or the comparison after it, got, with a
// キャンセル; and the wait on the dialog's thread that keeps the dialog painting and answering
// while a thread of its own does the work.
#pragma once
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "copy/TreeCheck.h"
#include "ui/Form.h"

namespace zv {

enum class TreeProgressDialogCtl : int { lblStatus, btnCan, kCount };

// What the thread does: reads the source's tree, or compares the copy with it.
enum class TreeWork { Reading, Comparing };

class TreeProgressDialog : public ui::FormOf<TreeProgressDialog, TreeProgressDialogCtl> {
 public:
  explicit TreeProgressDialog(TreeWork work);

  void btnCan_Click(int);
  // The items done so far.
  void ShowCount(size_t items);
  bool cancelled() const { return cancelled_; }

  static const Handler kHandlers[];

 private:
  TreeWork work_;
  bool cancelled_ = false;
};

// What the thread is given and gives back; shared, as the thread may outlive the wait.
struct TreeTask {
  std::shared_ptr<ITreeReader> reader;
  std::wstring source, target;
  TreeScan scan;                  // made by the reading, compared with by the comparison
  std::optional<size_t> missing;  // the comparison's answer; nothing when it was cancelled
};

// Does the work on a thread of its own. Meanwhile the owner is disabled but paints and
// answers, and from half a second on the progress shows over it. False when the user
// cancelled: the wait ends at once and the thread is left to end on its own. A failure on the
// thread is reported here, on the dialog's thread, and counts as stopped.
bool RunWatched(HWND owner, TreeWork work, std::shared_ptr<TreeTask> task);

}  // namespace zv
