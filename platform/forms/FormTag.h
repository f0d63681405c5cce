#pragma once
// The tag of a form or control: free text kept in the dynamic property "Tag". It completes the section name
// of a form's window position and carries a dialog's acceptance marker ("X").
#include <QObject>
#include <QString>
#include <QVariant>

namespace velu::forms {

inline QString FormTag(const QObject& object) {
    return object.property("Tag").toString();
}

inline void SetFormTag(QObject& object, const QString& tag) {
    object.setProperty("Tag", tag);
}

} // namespace velu::forms
