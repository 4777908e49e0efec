#pragma once

#include "FormEncoding.h"
#include "NodeTree.h"

namespace browser {

// The lower-case type of an <input>; unknown or missing types are "text".
QString inputType(const Node& input);

QString controlValue(const NodeTree& tree, int control);
void setControlValue(NodeTree& tree, int control, const QString& value);
bool isChecked(const NodeTree& tree, int control);

// The form's listed controls in document order: its descendants, controls that
// name it in a form attribute, and controls that follow a form the parser left
// empty inside a table (the parser keeps such a form open for them).
std::vector<int> formControls(const NodeTree& tree, int form);

// The entries a browser submits for the form: successful controls only.
FormDataSet formDataSet(const NodeTree& tree, int form);

// The names of the form's password fields.
QStringList passwordFieldNames(const NodeTree& tree, int form);

} // namespace browser
