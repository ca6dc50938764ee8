#include "copy/TreeProgressDialog.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <utility>

#include "platform/CallbackGuard.h"
#include "platform/Handles.h"
#include "ui/MessageLoop.h"
#include "ui/WindowPlacement.h"

namespace zv {

namespace {

using Ctl = TreeProgressDialogCtl;
using ui::Kind;

struct Texts {
  const wchar_t* caption = L"フォルダの確認";
  const wchar_t* reading = L"コピー元のフォルダを読んでいます。";
  const wchar_t* readCount = L" 個の項目を読みました。";
  const wchar_t* comparing = L"コピーとコピー元を照らし合わせています。";
  const wchar_t* comparedCount = L" 個の項目を確かめました。";
  const wchar_t* cancel = L"キャンセル";
};
constexpr Texts kText;

constexpr ui::ControlDef kControls[] = {
    {Ctl::lblStatus, -1, Kind::Label, L"", 120, 120, 4320, 480, HelpTopic::None, ui::kMultiLine},
    {Ctl::btnCan, -1, Kind::Button, kText.cancel, 3345, 720, 1095, 330, HelpTopic::None,
     ui::kDefault | ui::kCancel},
};
static_assert(ui::ListsEachControlOnce<Ctl>(kControls));

constexpr ui::FormDef kForm{kText.caption, 4560, 1170, false};

// What the dialog's thread and the job's thread share; the job's thread may outlive the wait.
struct Shared {
  TreeWatch watch;
  TreeWork work = TreeWork::Reading;
  std::shared_ptr<TreeTask> task;
  win::UniqueHandle done{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  std::atomic<bool> failed{false};
};

DWORD WINAPI RunJob(void* handed) {
  const std::unique_ptr<std::shared_ptr<Shared>> shared(static_cast<std::shared_ptr<Shared>*>(handed));
  // Nothing may leave the thread: that the job failed is told on the dialog's thread.
  try {
    Shared& run = **shared;
    TreeTask& task = *run.task;
    if (run.work == TreeWork::Reading)
      task.scan = ScanTree(*task.reader, task.source, task.target, &run.watch);
    else
      task.missing = CountMissing(*task.reader, task.scan, task.target, &run.watch);
  } catch (...) {
    (*shared)->failed = true;
  }
  ::SetEvent((*shared)->done.get());
  return 0;
}

}  // namespace

const TreeProgressDialog::Handler TreeProgressDialog::kHandlers[] = {
    {Ctl::btnCan, ui::Event::Click, &TreeProgressDialog::btnCan_Click},
};

TreeProgressDialog::TreeProgressDialog(TreeWork work) : FormOf(kForm, kControls), work_(work) {}

void TreeProgressDialog::btnCan_Click(int) { cancelled_ = true; }

void TreeProgressDialog::ShowCount(size_t items) {
  const bool reading = work_ == TreeWork::Reading;
  SetText(Ctl::lblStatus, std::wstring(reading ? kText.reading : kText.comparing) + L"\r\n" +
                              std::to_wstring(items) + (reading ? kText.readCount : kText.comparedCount));
}

bool RunWatched(HWND owner, TreeWork work, std::shared_ptr<TreeTask> task) {
  auto shared = std::make_shared<Shared>();
  shared->work = work;
  shared->task = std::move(task);
  // A thread of the system's own: the C++ library's threads would swell the program.
  auto handed = std::make_unique<std::shared_ptr<Shared>>(shared);
  win::UniqueHandle thread;
  if (shared->done) thread.reset(::CreateThread(nullptr, 0, &RunJob, handed.get(), 0, nullptr));
  // Without a thread the work is done here, as it was before it had one.
  if (!thread) {
    RunJob(handed.release());
    if (shared->failed) win::ReportUnexpected(nullptr);
    return !shared->failed;
  }
  static_cast<void>(handed.release());  // the thread's now

  // As a modal window would: the dialog takes no clicks meanwhile, but paints and answers.
  const bool disable = owner && ::IsWindowEnabled(owner);
  if (disable) ::EnableWindow(owner, FALSE);
  ProgressPace pace(::GetTickCount64());
  std::unique_ptr<TreeProgressDialog> window;
  HANDLE done = shared->done.get();
  bool quit = false;
  WPARAM quitCode = 0;
  for (;;) {
    const DWORD wait = static_cast<DWORD>(std::min<uint64_t>(pace.Wait(::GetTickCount64()), ProgressPace::kEveryMs));
    if (::MsgWaitForMultipleObjectsEx(1, &done, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0) break;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quit = true;
        quitCode = msg.wParam;
        break;
      }
      ui::DispatchQueued(msg);
    }
    // The program asked to end: the work is of no use any more.
    if (quit || (window && window->cancelled())) {
      shared->watch.cancelled = true;
      break;
    }
    if (::WaitForSingleObject(done, 0) == WAIT_OBJECT_0) break;
    if (!pace.Due(::GetTickCount64())) continue;
    if (!window) {
      window = std::make_unique<TreeProgressDialog>(work);
      // Over the dialog; while the dialog is hidden for the copy, a window of its own.
      if (!window->Create(owner && ::IsWindowVisible(owner) ? owner : nullptr)) {
        window.reset();
        continue;
      }
      window->ShowCount(shared->watch.items);
      ui::CentreOver(window->hwnd(), owner);
      window->Show();
    }
    window->ShowCount(shared->watch.items);
  }
  if (disable) ::EnableWindow(owner, TRUE);
  if (window) window->Unload();
  if (quit) ::PostQuitMessage(static_cast<int>(quitCode));
  if (shared->watch.cancelled) return false;
  // A job that failed did not finish: reported, and taken as stopped.
  if (shared->failed) {
    win::ReportUnexpected(nullptr);
    return false;
  }
  return true;
}

}  // namespace zv
