#include "setup_forms.h"

#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit4.h"
#include "Unit5.h"
#include "Unit6.h"
#include "Unit7.h"
#include "Unit8.h"
#include "application.h"
#include "system_library.h"

#include <commctrl.h>

namespace {

// DLLs that the common controls and the theme library load by their plain names when they
// first draw. Loaded beforehand from the system folder, these are the ones in use even where
// the DLL search could not be restricted (Windows 7 without SetDefaultDllDirectories; Wine,
// whose delay loads ignore it).
const char* const kLoadedOnOurBehalf[] = {"uxtheme.dll", "msimg32.dll"};

// The common controls (tool tips) are no Known DLL: loaded from the system, kept for the
// program's lifetime.
void LoadCommonControls() {
  using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  for (const char* name : kLoadedOnOurBehalf) platform::LoadSystemLibrary(name);
  HMODULE comctl = platform::LoadSystemLibrary("comctl32.dll");
  const auto init = comctl ? platform::EntryPoint<InitFn>(comctl, "InitCommonControlsEx") : nullptr;
  const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  if (init) init(&controls);
}

}  // namespace

void InitApplication() {
  LoadCommonControls();
  forms::Application::Instance().SetTitle("Talvenor Installation");
}

template <typename T>
void SetupForms::Create(T*& instance) {
  auto form = std::make_unique<T>();
  instance = form.get();
  forms_.push_back(std::move(form));
}

SetupForms::SetupForms() {
  Create(Form1);
  Create(Form2);
  Create(Form3);
  Create(Form4);
  Create(Form5);
  Create(Form6);
  Create(Form7);
  Create(Form8);
}

SetupForms::~SetupForms() {
  while (!forms_.empty()) forms_.pop_back();
}
