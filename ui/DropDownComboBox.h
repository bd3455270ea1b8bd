#pragma once

#include <QComboBox>

// A combo box that announces its list before it drops down, so the list can
// be refilled first.
class TDropDownComboBox : public QComboBox {
  Q_OBJECT

public:
  using QComboBox::QComboBox;

  void showPopup() override;

signals:
  void DropDown();
};
