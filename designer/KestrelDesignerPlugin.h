#pragma once
// KestrelWidget in Qt Designer: the widget box entry under "Tamarind" (icon, tool tip, the XML a
// new widget starts from) and the widget Designer makes when one is dropped on a form. Its
// Q_PROPERTYs show in Designer's property editor and are saved in the .ui file like any widget's.

#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

namespace tamarind::designer {

class KestrelDesignerPlugin : public QObject, public QDesignerCustomWidgetInterface {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetInterface")
  Q_INTERFACES(QDesignerCustomWidgetInterface)

 public:
  explicit KestrelDesignerPlugin(QObject* parent = nullptr);

  QString name() const override;
  QString group() const override;
  QString toolTip() const override;
  QString whatsThis() const override;
  QString includeFile() const override;
  QIcon icon() const override;
  bool isContainer() const override;
  QWidget* createWidget(QWidget* parent) override;
  bool isInitialized() const override;
  void initialize(QDesignerFormEditorInterface* core) override;
  QString domXml() const override;

 private:
  bool initialized_ = false;
};

}  // namespace tamarind::designer
