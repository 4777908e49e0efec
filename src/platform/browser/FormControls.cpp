#include "FormControls.h"

#include <algorithm>

namespace browser {

namespace {

bool isListedControl(const Node& node) {
    return node.isElement("input") || node.isElement("select") || node.isElement("textarea") ||
           node.isElement("button");
}

bool isTableContext(const Node& node) {
    return node.isElement("table") || node.isElement("tbody") || node.isElement("thead") ||
           node.isElement("tfoot") || node.isElement("tr");
}

QString attributeOrEmpty(const Node& node, const char* name) {
    const QString* value = node.attribute(QString::fromLatin1(name));
    return value ? *value : QString();
}

QString withoutLineBreaks(QString text) {
    return text.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
}

QString crlf(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

bool isDisabled(const NodeTree& tree, int control) {
    if (tree.nodes[size_t(control)].attribute(QStringLiteral("disabled")))
        return true;
    int child = control;
    for (int i = tree.nodes[size_t(control)].parent; i >= 0;
         child = i, i = tree.nodes[size_t(i)].parent) {
        const Node& ancestor = tree.nodes[size_t(i)];
        if (ancestor.isElement("datalist"))
            return true;
        if (!ancestor.isElement("fieldset") || !ancestor.attribute(QStringLiteral("disabled")))
            continue;
        // Controls in a disabled fieldset's first legend stay enabled.
        const Children children = tree.children(i);
        const auto firstLegend = std::find_if(children.begin(), children.end(), [&](int c) {
            return tree.nodes[size_t(c)].isElement("legend");
        });
        if (firstLegend == children.end() || *firstLegend != child)
            return true;
    }
    return false;
}

std::vector<int> options(const NodeTree& tree, int select) {
    std::vector<int> found;
    for (int i = select + 1; i < tree.nodes[size_t(select)].end; ++i) {
        if (tree.nodes[size_t(i)].isElement("option"))
            found.push_back(i);
    }
    return found;
}

bool isOptionDisabled(const NodeTree& tree, int option) {
    const Node& parent = tree.nodes[size_t(tree.nodes[size_t(option)].parent)];
    return tree.nodes[size_t(option)].attribute(QStringLiteral("disabled")) ||
           (parent.isElement("optgroup") && parent.attribute(QStringLiteral("disabled")));
}

QString optionValue(const NodeTree& tree, int option) {
    if (const QString* value = tree.nodes[size_t(option)].attribute(QStringLiteral("value")))
        return *value;
    return tree.textContent(option).simplified();
}

bool isSelected(const NodeTree& tree, int option) {
    const Node& node = tree.nodes[size_t(option)];
    return node.selected.value_or(node.attribute(QStringLiteral("selected")) != nullptr);
}

std::vector<int> selectedOptions(const NodeTree& tree, int select) {
    const std::vector<int> all = options(tree, select);
    std::vector<int> selected;
    std::copy_if(all.begin(), all.end(), std::back_inserter(selected),
                 [&](int option) { return isSelected(tree, option); });
    if (tree.nodes[size_t(select)].attribute(QStringLiteral("multiple")))
        return selected;
    if (!selected.empty())
        return {selected.back()}; // the parser leaves the last selected option chosen
    // A drop-down list always shows a choice: its first enabled option.
    const auto first = std::find_if(all.begin(), all.end(),
                                    [&](int option) { return !isOptionDisabled(tree, option); });
    return first == all.end() ? std::vector<int>{} : std::vector<int>{*first};
}

} // namespace

QString inputType(const Node& input) {
    static const char* const kKnown[] = {"hidden",   "text",           "search", "tel",    "url",
                                         "email",    "password",       "date",   "month",  "week",
                                         "time",     "datetime-local", "number", "range",  "color",
                                         "checkbox", "radio",          "file",   "submit", "image",
                                         "reset",    "button"};
    const QString type = attributeOrEmpty(input, "type").trimmed().toLower();
    for (const char* known : kKnown) {
        if (type == QLatin1String(known))
            return type;
    }
    return QStringLiteral("text");
}

QString controlValue(const NodeTree& tree, int control) {
    const Node& node = tree.nodes[size_t(control)];
    if (node.isElement("textarea"))
        return node.value.value_or(tree.textContent(control));
    if (node.isElement("select")) {
        const std::vector<int> selected = selectedOptions(tree, control);
        return selected.empty() ? QString() : optionValue(tree, selected.front());
    }
    if (node.isElement("option"))
        return optionValue(tree, control);
    if (node.value)
        return *node.value;
    const QString value = attributeOrEmpty(node, "value");
    const QString type = node.isElement("input") ? inputType(node) : QString();
    if ((type == QLatin1String("checkbox") || type == QLatin1String("radio")) &&
        !node.attribute(QStringLiteral("value")))
        return QStringLiteral("on");
    const bool keepsLineBreaks = type.isEmpty() || type == QLatin1String("hidden") ||
                                 type == QLatin1String("checkbox") ||
                                 type == QLatin1String("radio");
    return keepsLineBreaks ? value : withoutLineBreaks(value);
}

void setControlValue(NodeTree& tree, int control, const QString& value) {
    if (!tree.nodes[size_t(control)].isElement("select")) {
        tree.nodes[size_t(control)].value = value;
        return;
    }
    bool chosen = false;
    for (int option : options(tree, control)) {
        const bool match = !chosen && optionValue(tree, option) == value;
        tree.nodes[size_t(option)].selected = match;
        chosen = chosen || match;
    }
}

bool isChecked(const NodeTree& tree, int control) {
    const Node& node = tree.nodes[size_t(control)];
    return node.checked.value_or(node.attribute(QStringLiteral("checked")) != nullptr);
}

std::vector<int> formControls(const NodeTree& tree, int form) {
    const QString formId = attributeOrEmpty(tree.nodes[size_t(form)], "id");
    std::vector<int> controls;
    std::vector<int> openForms;
    int tableForm = -1; // an empty form the parser put straight into a table
    int tableFormEnd = 0;
    walkDescendants(
        tree, 0,
        [&](int i) {
            const Node& node = tree.nodes[size_t(i)];
            if (node.kind != NodeKind::Element)
                return false;
            if (tableForm >= 0 && i >= tableFormEnd)
                tableForm = -1;
            if (node.isElement("form")) {
                openForms.push_back(i);
                const Node& parent = tree.nodes[size_t(node.parent)];
                if (tree.children(i).empty() && isTableContext(parent)) {
                    tableForm = i;
                    tableFormEnd = tree.nodes[size_t(tree.nodes[size_t(tableForm)].parent)].end;
                }
            } else if (isListedControl(node)) {
                const QString* formAttribute = node.attribute(QStringLiteral("form"));
                const int owner = formAttribute
                                      ? (!formId.isEmpty() && *formAttribute == formId ? form : -1)
                                  : !openForms.empty() ? openForms.back()
                                                       : tableForm;
                if (owner == form)
                    controls.push_back(i);
            }
            return true;
        },
        [&](int i) {
            if (!openForms.empty() && openForms.back() == i)
                openForms.pop_back();
        });
    return controls;
}

FormDataSet formDataSet(const NodeTree& tree, int form) {
    FormDataSet entries;
    for (int control : formControls(tree, form)) {
        const Node& node = tree.nodes[size_t(control)];
        const QString name = attributeOrEmpty(node, "name");
        if (name.isEmpty() || node.isElement("button") || isDisabled(tree, control))
            continue;
        if (node.isElement("select")) {
            for (int option : selectedOptions(tree, control)) {
                if (!isOptionDisabled(tree, option))
                    entries.append({name, optionValue(tree, option)});
            }
            continue;
        }
        if (node.isElement("input")) {
            const QString type = inputType(node);
            if (type == QLatin1String("submit") || type == QLatin1String("image") ||
                type == QLatin1String("reset") || type == QLatin1String("button"))
                continue;
            if ((type == QLatin1String("checkbox") || type == QLatin1String("radio")) &&
                !isChecked(tree, control))
                continue;
            if (type == QLatin1String("file")) {
                entries.append({name, QString()}); // no file chosen
                continue;
            }
        }
        entries.append({name, controlValue(tree, control)});
    }
    for (auto& [name, value] : entries) {
        name = crlf(name);
        value = crlf(value);
    }
    return entries;
}

QStringList passwordFieldNames(const NodeTree& tree, int form) {
    QStringList names;
    for (int control : formControls(tree, form)) {
        const Node& node = tree.nodes[size_t(control)];
        const QString name = attributeOrEmpty(node, "name");
        if (node.isElement("input") && inputType(node) == QLatin1String("password") &&
            !name.isEmpty())
            names.append(crlf(name));
    }
    return names;
}

} // namespace browser
