#pragma once
// Pieces shared by the framework's own sources; not for its users.

#include <memory>

#include "framework/WinCore.h"

namespace Windows::detail {

// The application's instance handle; none without an application object.
inline HINSTANCE AppInstance() {
    CApp* app = CApp::GetApp();
    return app ? app->GetInstanceHandle() : nullptr;
}

// The box for anything but a CWinException: `prefix` and `text`, captioned "Exception".
void ShowUnknownError(LPCSTR prefix, LPCSTR text) noexcept;

template <typename Body>
bool RunGuarded(LPCSTR prefix, LPCSTR text, Body&& body) noexcept {
    try {
        body();
        return true;
    } catch (const CWinException& e) {
        e.ShowErrorBox();
    } catch (...) {
        ShowUnknownError(prefix, text);
    }
    return false;
}

// Runs one framework operation. Nothing leaves it: a CWinException shows its error
// box, anything else a box with the operation's own text. False after either, and the
// caller returns its failure value.
template <typename Body>
bool Guarded(LPCSTR unknownText, Body&& body) noexcept {
    return RunGuarded("", unknownText, body);
}

// The same for the operations whose box names them: "Exception occurred " and
// `operation`.
template <typename Body>
bool GuardedOperation(LPCSTR operation, Body&& body) noexcept {
    return RunGuarded("Exception occurred ", operation, body);
}

// The creation hook for one window or dialog: installed by the constructor (which
// throws when it cannot be), removed with its record and the thread-local slot by the
// destructor, whether or not a window was made in between.
class CreationHook {
  public:
    explicit CreationHook(CWin& window);
    ~CreationHook();
    CreationHook(const CreationHook&) = delete;
    CreationHook& operator=(const CreationHook&) = delete;

  private:
    std::unique_ptr<CBTData> m_pRecord;
};

}  // namespace Windows::detail
