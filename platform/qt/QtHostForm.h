#pragma once
// A host application's form as a real top-level window: the platform's host form (siting, the
// lifecycle events, saving, unloading) with a QWidget that shows it. The window's size is the
// form's; when the user resizes it, Resized tells the host, which usually fits its controls to the
// new client area.
//
// A form can also be embedded: its widget is then a child of a widget the host owns (no frame, no
// caption), so the controls sited on it live in the host's layouts, splitters and docks.

#include <QPointer>

#include <string>

#include "platform/Event.h"
#include "platform/HostForm.h"
#include "platform/qt/QtToolkit.h"

class QWidget;

namespace tamarind::platform::qt {

class QtHostForm : public HostForm {
 public:
  QtHostForm(QtToolkit& tk, std::string caption = "Form1", float widthTwips = 9600, float heightTwips = 7200);
  // An embedded form: a child widget of embedIn, which sizes it.
  QtHostForm(QtToolkit& tk, QWidget* embedIn, std::string caption = "Form1");
  ~QtHostForm() override;

  QWidget* WindowWidget() const { return window_; }
  // Sites and shows the controls (Resize, Show), then shows the window.
  void Show() override;

  // The window's rectangle on the screen and the offset of its client area, from the real window.
  RECT BoundsPx() const override;
  void SetBoundsPx(const RECT& r) override;
  POINT ClientOffsetPx() const override;
  RECT ClientRectPx() const override;

  // The client area's new size in twips, after the user (or the window system) resized the window.
  Event<float, float> Resized;
  // A sited control reported a change of one of its properties (after the form recorded it).
  Event<UserControl&, std::string_view> PropertyChangeReported;

 protected:
  void PropertyChanged(UserControl& control, std::string_view propertyName) override;

 private:
  class FormWindow;
  QtToolkit& tk_;
  QPointer<QWidget> window_;
  bool embedded_ = false;
};

}  // namespace tamarind::platform::qt
