#pragma once

class QFormLayout;
class QLineEdit;
class QString;

// A line edit named name in a new row of form, behind its label.
QLineEdit* AddFormEdit(QFormLayout& form, const QString& label, const QString& name);
