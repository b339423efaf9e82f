#pragma once

#include "settings/WidgetConfig.h"

#include <QString>
#include <QUuid>

#include <optional>
#include <vector>

namespace kivo {

// The layout edits of the dashboard as plain functions on a widget list: each returns the
// changed copy, and an id that names no widget leaves the list as it was.
namespace DashboardLayout {

using Widgets = std::vector<WidgetConfig>;

// A new widget of the kind at its default size, with a fresh id, at the end.
Widgets added(Widgets widgets, WidgetKind kind);
// Without every widget of this id.
Widgets removed(Widgets widgets, const QUuid& id);
// The first widget of this id at the new size.
Widgets resized(Widgets widgets, const QUuid& id, WidgetSize size);
// The first widget of this id swapped with the one `step` places away, held within the list.
Widgets shifted(Widgets widgets, const QUuid& id, int step);
// The first widget of the dragged id taken out and put back just before the first widget of the
// target id, or at the end when none has it. Same ids: unchanged.
Widgets moved(Widgets widgets, const QUuid& dragged, const QUuid& target);

// What a dragged card carries: its id as 36 upper-case characters.
QString dragPayload(const QUuid& id);
// The id a dropped text names, if it is a UUID in text form.
std::optional<QUuid> parsePayload(const QString& text);

// A name typed into the save prompt without the spaces and tabs at its ends (line breaks stay).
QString trimmedName(const QString& name);

}  // namespace DashboardLayout

}  // namespace kivo
