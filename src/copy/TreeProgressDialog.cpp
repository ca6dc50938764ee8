#include "copy/TreeProgressDialog.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <string>
#include <thread>
#include <utility>

#include "platform/Handles.h"
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
    {Ctl::lblStatus, L"lblStatus", -1, Kind::Label, L"", 120, 120, 4320, 480, HelpTopic::None, ui::kMultiLine},
    {Ctl::btnCan, L"btnCan", -1, Kind::Button, kText.cancel, 3345, 720, 1095, 330, HelpTopic::None,
     ui::kDefault | ui::kCancel},
};
static_assert(ui::ListsEachControlOnce<Ctl>(kControls));

constexpr ui::FormDef kForm{L"TreeProgressDialog", kText.caption, 4560, 1170, false};

// What the dialog's thread and the job's thread share; the job's thread may outlive the wait.
struct Shared {
  TreeWatch watch;
  std::function<void(TreeWatch&)> job;
  win::UniqueHandle done{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  std::exception_ptr error;
};

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

bool RunWatched(HWND owner, TreeWork work, std::function<void(TreeWatch&)> job) {
  auto shared = std::make_shared<Shared>();
  if (!shared->done) {
    // No event to wait on: the work is done here, as it was before it had a thread.
    job(shared->watch);
    return true;
  }
  shared->job = std::move(job);
  std::thread([shared] {
    // Nothing may leave the thread: what the job throws is handed to the dialog's thread.
    try {
      shared->job(shared->watch);
    } catch (...) {
      shared->error = std::current_exception();
    }
    ::SetEvent(shared->done.get());
  }).detach();

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
      if (window && window->hwnd() && ::IsDialogMessageW(window->hwnd(), &msg)) continue;
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
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
  if (shared->error) std::rethrow_exception(shared->error);
  return true;
}

}  // namespace zv
