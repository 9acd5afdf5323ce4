#pragma once

#include "app/DialogFields.h"
#include "engine/ErrorReporter.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Text.h"

#include <QLineEdit>
#include <QWidget>
#include <map>
#include <optional>

namespace velmora::desktop {

// Shows why a dialog's OK was refused and puts the focus on the field at fault: a refusal with a
// context goes through the error reporter (and so into an open run log), the others are plain
// notices. Answers whether there was a refusal.
template <typename Field>
bool refuse(QWidget* dialog, ErrorReporter* reporter, const std::optional<FieldRefusal<Field>>& refusal,
            const std::map<Field, QWidget*>& fields) {
    if (!refusal)
        return false;
    if (!refusal->context.empty() && reporter != nullptr)
        reporter->report(refusal->context, refusal->message);
    else
        widgets::showMessage(dialog, widgets::fromText(refusal->message));
    if (const auto field = fields.find(refusal->field); field != fields.end()) {
        field->second->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(field->second))
            edit->selectAll();
    }
    return true;
}

} // namespace velmora::desktop
