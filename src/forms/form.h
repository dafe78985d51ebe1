// A form: a top-level window built from its stored design, with the handlers of its unit.
#pragma once

#include "controls.h"

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace forms {

constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;

class Form : public Container {
 public:
  explicit Form(const FormDesign& design);
  ~Form() override;

  const std::string& FormName() const { return formName_; }
  std::string Caption() const { return WindowText(); }
  void SetCaption(const std::string& text) { SetWindowText(text); }
  bool HasCaption() const override { return true; }

  // The form's components in creation order at any depth (notebook pages excluded).
  const std::vector<Component*>& Components() const { return components_; }
  Component* FindComponent(const std::string& name) const;
  template <typename T>
  T& Get(const std::string& name) const {
    auto* c = dynamic_cast<T*>(FindComponent(name));
    if (!c) throw std::logic_error(formName_ + " has no component " + name + " of that kind");
    return *c;
  }

  void Show();
  void Hide();
  void SetVisible(bool visible) override;
  // Shows the form and runs the message loop until ModalResult is set or the program ends.
  int ShowModal();
  bool IsModal() const { return modal_; }
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int result) { modalResult_ = result; }
  // Asks FormCloseQuery; when allowed, the main form ends the program, others are hidden.
  void Close();

  BorderStyle Border() const { return border_; }
  void SetBorderStyle(BorderStyle border);
  void SetTopLeft(int left, int top);
  RECT ScreenRect() const;

  // The face of the designs at a height in screen pixels; 0: the form's own height.
  HFONT Font(int height = 0, bool bold = false);
  // Keeps the tool tip of a control in step with its hint.
  void UpdateHint(Control& control);

  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 protected:
  // Creates the components of the design table in order, each row scaled to screen pixels
  // first. Kind::Custom rows are made by CreateCustom (given the scaled row), so components
  // of other units keep their place in the order.
  void Build(const std::vector<ComponentDesign>& table);
  virtual std::unique_ptr<Component> CreateCustom(const ComponentDesign& d, Container* parent);
  // Adds a component made by the form itself at the end of the creation order.
  template <typename T>
  T& Adopt(std::unique_ptr<T> component) {
    T& ref = *component;
    Register(std::move(component));
    return ref;
  }

  virtual void FormShow() {}
  virtual void FormPaint(HDC dc) { (void)dc; }
  virtual bool FormCloseQuery() { return true; }

  void PaintSelf(HDC dc, const RECT& client) override;

 private:
  void Register(std::unique_ptr<Component> component);
  std::unique_ptr<Component> Create(const ComponentDesign& d, Container* parent);
  Container* ParentFor(const ComponentDesign& d);
  void Place();
  void ApplyTabOrder(const std::vector<ComponentDesign>& table);
  DWORD StyleFor(BorderStyle border) const;

  std::string formName_;
  FormDesign design_;
  BorderStyle border_;
  std::vector<std::unique_ptr<Component>> owned_;
  std::vector<Component*> components_;
  std::map<std::pair<int, bool>, platform::UniqueFont> fonts_;
  HWND tooltip_ = nullptr;
  bool modal_ = false;
  int modalResult_ = mrNone;
  bool placed_ = false;
};

}  // namespace forms
