#include "platform/gdi/surface_changes.h"

#include <memory>

namespace platform {
namespace {

// Beyond this many rows a record is worth less than a look at the whole surface.
constexpr std::size_t kMaxRows = 4096;

struct Record {
    bool known = true;
    std::vector<ChangedRow> rows;
};

const cairo_user_data_key_t kRecordKey{};

Record* RecordOf(cairo_surface_t* surface) {
    return surface == nullptr
               ? nullptr
               : static_cast<Record*>(cairo_surface_get_user_data(surface, &kRecordKey));
}

}  // namespace

void NoteAnyChange(cairo_surface_t* surface) {
    if (Record* record = RecordOf(surface)) {
        record->known = false;
        record->rows.clear();
    }
}

void NoteChangedRow(cairo_surface_t* surface, int y, int left, int right) {
    Record* record = RecordOf(surface);
    if (record == nullptr || !record->known || left >= right) {
        return;
    }
    if (record->rows.size() >= kMaxRows) {
        NoteAnyChange(surface);
        return;
    }
    record->rows.push_back({y, left, right});
}

std::optional<std::vector<ChangedRow>> TakeChanges(cairo_surface_t* surface) {
    if (surface == nullptr) {
        return std::nullopt;
    }
    Record* record = RecordOf(surface);
    if (record == nullptr) {
        auto fresh = std::make_unique<Record>();
        if (cairo_surface_set_user_data(surface, &kRecordKey, fresh.get(), [](void* data) {
                delete static_cast<Record*>(data);
            }) == CAIRO_STATUS_SUCCESS) {
            static_cast<void>(fresh.release());
        }
        return std::nullopt;
    }
    std::optional<std::vector<ChangedRow>> changes;
    if (record->known) {
        changes = std::move(record->rows);
    }
    record->known = true;
    record->rows.clear();
    return changes;
}

}  // namespace platform
