// The component kinds of the setup's forms.
#pragma once

#include "component.h"
#include "picture.h"

#include <memory>
#include <string>
#include <vector>

namespace forms {

class Label : public WinControl {
 public:
  Label(Form* owner, const ComponentDesign& d, Container* parent);
  bool HasCaption() const override { return true; }
  std::string Caption() const override { return WindowText(); }
  void SetCaption(const std::string& text) override;
  HBRUSH ControlColor(HDC dc) override;
  void Notify(WORD code) override;

 private:
  void FitToText();
  void ClipToText();
  bool autoSize_;
  bool wordWrap_;
  bool windowTextColor_;
};

class Button : public WinControl {
 public:
  Button(Form* owner, const ComponentDesign& d, Container* parent);
  bool HasCaption() const override { return true; }
  std::string Caption() const override { return WindowText(); }
  void SetCaption(const std::string& text) override { SetWindowText(text); }
  void Notify(WORD code) override;
  void Click();
};

// Check boxes and radio buttons.
class CheckControl : public Button {
 public:
  CheckControl(Form* owner, const ComponentDesign& d, Container* parent);
  bool Checked() const;
  void SetChecked(bool checked);
  HBRUSH ControlColor(HDC dc) override;
};

class Edit : public WinControl {
 public:
  Edit(Form* owner, const ComponentDesign& d, Container* parent);
  std::string Text() const { return WindowText(); }
  void SetText(const std::string& text) { SetWindowText(text); }
  void Notify(WORD code) override;
  std::function<void()> OnChange;
};

// A read-only multi-line text with a vertical scroll bar.
class Memo : public WinControl, private TextList {
 public:
  Memo(Form* owner, const ComponentDesign& d, Container* parent);
  TextList* Lines() override { return this; }
  int Count() const override { return int(lines_.size()); }
  std::string Get(int index) const override;
  void Set(int index, const std::string& text) override;
  void SetMany(const std::vector<std::pair<int, std::string>>& texts) override;
  // Replaces the text with a file's lines; raises platform::Error when it cannot be read.
  void LoadFromFile(const std::string& path);
  std::string Text() const { return WindowText(); }

 private:
  void Refresh();
  std::vector<std::string> lines_;
};

class ListBox : public WinControl {
 public:
  ListBox(Form* owner, const ComponentDesign& d, Container* parent, DWORD extraStyle = 0);
  int Count() const;
  std::string Item(int index) const;
  void Add(const std::string& text);
  void Delete(int index);
  void Clear();
  int ItemIndex() const;
  void SetItemIndex(int index);
  // The height of every entry, in pixels of the design.
  void SetItemHeight(int designPixels);
  void Notify(WORD code) override;
  std::function<void()> OnDblClick;
};

// A drop-down list to pick from (no typing).
class ComboBox : public WinControl, private TextList {
 public:
  ComboBox(Form* owner, const ComponentDesign& d, Container* parent);
  TextList* Items() override { return plain_ ? this : nullptr; }
  int Count() const override;
  std::string Get(int index) const override;
  void Set(int index, const std::string& text) override;
  void Add(const std::string& text);
  void Clear();
  int ItemIndex() const;
  void SetItemIndex(int index);
  std::string Text() const;
  void Notify(WORD code) override;
  std::function<void()> OnChange;

 protected:
  bool plain_ = true;
};

// The names of the files of one folder, sorted without regard to case.
class FileListBox : public ListBox {
 public:
  FileListBox(Form* owner, const ComponentDesign& d, Container* parent);
  // Lists the folder and makes it the process's current folder.
  void SetDirectory(const std::string& folder);
  const std::string& Directory() const { return directory_; }

 private:
  std::string directory_;
};

class DriveComboBox;

// The current folder's path, one line per level, and its subfolders. Opening an entry
// (double click or Enter) makes it the current folder and raises OnChange.
class DirectoryListBox : public ListBox {
 public:
  DirectoryListBox(Form* owner, const ComponentDesign& d, Container* parent);
  const std::string& Directory() const { return directory_; }
  // Changes the current folder; raises OnChange when it differs.
  void SetDirectory(const std::string& folder);
  void OpenItem(int index);
  void SetDriveCombo(DriveComboBox* drives) { drives_ = drives; }
  void Notify(WORD code) override;
  std::function<void()> OnChange;

 private:
  void Fill();
  std::string directory_;
  int pathLevels_ = 0;
  DriveComboBox* drives_ = nullptr;
};

class DriveComboBox : public ComboBox {
 public:
  DriveComboBox(Form* owner, const ComponentDesign& d, Container* parent);
  void SetDirList(DirectoryListBox* list);
  char Drive() const;
  void SetDrive(char drive);
  void Notify(WORD code) override;

 private:
  std::vector<char> drives_;
  DirectoryListBox* dirList_ = nullptr;
};

class GroupBox : public Container {
 public:
  GroupBox(Form* owner, const ComponentDesign& d, Container* parent);
  bool HasCaption() const override { return true; }
  std::string Caption() const override { return WindowText(); }
  void SetCaption(const std::string& text) override;

 protected:
  void PaintSelf(HDC dc, const RECT& client) override;
};

class Panel : public Container {
 public:
  Panel(Form* owner, const ComponentDesign& d, Container* parent);
  bool HasCaption() const override { return true; }
  std::string Caption() const override { return WindowText(); }
  void SetCaption(const std::string& text) override;

 protected:
  void PaintSelf(HDC dc, const RECT& client) override;

 private:
  bool raised_;
};

class Notebook;

class Page : public Container {
 public:
  Page(Form* owner, const ComponentDesign& d, Notebook* notebook);
  const std::string& PageName() const { return pageName_; }

 private:
  std::string pageName_;
};

// Named pages of which one is shown at a time.
class Notebook : public Container {
 public:
  Notebook(Form* owner, const ComponentDesign& d, Container* parent);
  void AddPage(Page* page);
  const std::vector<Page*>& Pages() const { return pages_; }
  Page* ActivePage() const { return active_; }
  // Activates the page whose name matches without regard to case; nothing happens for an
  // unknown name or the page already shown. Focus moves to the new page's first control
  // when it was inside the notebook.
  void SetActivePage(const std::string& name);

 private:
  std::vector<Page*> pages_;
  Page* active_ = nullptr;
};

class Bevel : public GraphicControl {
 public:
  Bevel(Form* owner, const ComponentDesign& d, Container* parent);
  void Paint(HDC dc, const RECT& bounds) override;

 private:
  bool raised_;
  bool topLine_;
};

class Image : public GraphicControl {
 public:
  Image(Form* owner, const ComponentDesign& d, Container* parent);
  void Paint(HDC dc, const RECT& bounds) override;
  // Loads a picture file (bitmap, icon, metafile or JPEG by extension); raises
  // platform::Error when it cannot. The image keeps its sizing rules.
  void LoadFromFile(const std::string& path);
  void SetPicture(std::unique_ptr<Picture> picture);
  const Picture* GetPicture() const { return picture_.get(); }

 private:
  SIZE PictureSize() const;
  void FitToPicture();
  std::unique_ptr<Picture> picture_;
  uint32_t flags_;
};

// A non-visual timer firing OnTimer every Interval milliseconds while enabled.
class Timer : public Component {
 public:
  Timer(Form* owner, const ComponentDesign& d);
  ~Timer() override;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  int Interval() const { return interval_; }
  void SetInterval(int ms);
  void Fire();
  UINT_PTR Id() const { return id_; }
  std::function<void()> OnTimer;

 private:
  void Update();
  bool enabled_ = false;
  int interval_ = 1000;
  UINT_PTR id_;
};

}  // namespace forms
