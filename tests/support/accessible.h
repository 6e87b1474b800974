#pragma once

#include <QAccessible>
#include <QString>
#include <QWidget>

namespace pelmar::test {

// What a screen reader is told about a control, through Qt's own
// accessibility interface, as a platform bridge asks for it.
struct Heard
{
    QAccessible::Role role = QAccessible::NoRole;
    QString name;
    QString description;
    // The text of the label that points at the control, if one does.
    QString labelledBy;

    // A name and a description, as a screen reader speaks them in turn.
    QString spoken() const { return description.isEmpty() ? name : name + QLatin1Char(' ') + description; }
    // What says which control this is. A combo box's own name is its current
    // item on Linux, so it is told by its label or else its description.
    QString caption() const
    {
        if (!labelledBy.isEmpty())
            return labelledBy;
        return role == QAccessible::ComboBox ? description : name;
    }
};

inline Heard heard(QWidget* widget)
{
    QAccessibleInterface* iface = widget ? QAccessible::queryAccessibleInterface(widget) : nullptr;
    if (!iface)
        return {};
    Heard h{iface->role(), iface->text(QAccessible::Name), iface->text(QAccessible::Description), {}};
    const auto labels = iface->relations(QAccessible::Label);
    if (!labels.isEmpty())
        h.labelledBy = labels.front().first->text(QAccessible::Name);
    return h;
}

} // namespace pelmar::test
