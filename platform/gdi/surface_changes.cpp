#include "platform/gdi/surface_changes.h"

#include <algorithm>
#include <atomic>
#include <deque>
#include <memory>

namespace platform {
namespace {

// A record keeps this many changes; asking for more than that is answered "not known". A frame
// of the game notes a few hundred rows.
constexpr std::size_t kKeptChanges = 4096;

struct Record {
    std::uint64_t id = 0;
    // Changes seen so far; the last change noted as anywhere (0: none).
    std::uint64_t changes = 0;
    std::uint64_t anywhereAt = 0;
    // The latest changes, each with its number (changes after it was noted).
    std::deque<std::pair<std::uint64_t, ChangedRow>> kept;
    // What this surface last had a part of copied from, which part, and where both stood then.
    SurfaceStanding copiedFrom;
    CopiedArea copiedArea{0, 0, 0, 0};
    std::uint64_t changesAtCopy = 0;
};

const cairo_user_data_key_t kRecordKey{};
std::atomic<std::uint64_t> lastRecordId{0};

Record* RecordOf(cairo_surface_t* surface) {
    return surface == nullptr
               ? nullptr
               : static_cast<Record*>(cairo_surface_get_user_data(surface, &kRecordKey));
}

// Rows changed in `record` after its `since`-th change, if known.
std::optional<std::vector<ChangedRow>> After(const Record& record, std::uint64_t since) {
    if (record.anywhereAt > since) {
        return std::nullopt;
    }
    std::vector<ChangedRow> rows;
    if (record.changes == since) {
        return rows;
    }
    if (record.kept.empty() || record.kept.front().first > since + 1) {
        return std::nullopt;  // some of them are no longer kept
    }
    for (const auto& [number, row] : record.kept) {
        if (number > since) {
            rows.push_back(row);
        }
    }
    return rows;
}

}  // namespace

SurfaceStanding Track(cairo_surface_t* surface) {
    if (surface == nullptr) {
        return {};
    }
    Record* record = RecordOf(surface);
    if (record == nullptr) {
        auto fresh = std::make_unique<Record>();
        fresh->id = ++lastRecordId;
        // What was drawn before the record began is not known.
        fresh->changes = 1;
        fresh->anywhereAt = 1;
        if (cairo_surface_set_user_data(surface, &kRecordKey, fresh.get(), [](void* data) {
                delete static_cast<Record*>(data);
            }) != CAIRO_STATUS_SUCCESS) {
            return {};
        }
        record = fresh.release();
    }
    return {record->id, record->changes};
}

void NoteAnyChange(cairo_surface_t* surface) {
    if (Record* record = RecordOf(surface)) {
        record->anywhereAt = ++record->changes;
        record->kept.clear();
    }
}

void NoteChangedRow(cairo_surface_t* surface, int y, int left, int right) {
    Record* record = RecordOf(surface);
    if (record == nullptr || left >= right) {
        return;
    }
    record->kept.push_back({++record->changes, {y, left, right}});
    if (record->kept.size() > kKeptChanges) {
        record->kept.pop_front();
    }
}

void NoteChangedRect(cairo_surface_t* surface, int left, int top, int right, int bottom) {
    if (RecordOf(surface) == nullptr) {
        return;
    }
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, cairo_image_surface_get_width(surface));
    bottom = std::min(bottom, cairo_image_surface_get_height(surface));
    for (int y = top; y < bottom; ++y) {
        NoteChangedRow(surface, y, left, right);
    }
}

std::optional<std::vector<ChangedRow>> ChangesSince(cairo_surface_t* surface,
                                                    SurfaceStanding since) {
    const Record* record = RecordOf(surface);
    if (record == nullptr || record->id != since.record) {
        return std::nullopt;
    }
    return After(*record, since.changes);
}

void NoteCopyOf(cairo_surface_t* copy, cairo_surface_t* original, CopiedArea area) {
    const SurfaceStanding from = Track(original);
    Track(copy);
    if (Record* record = RecordOf(copy)) {
        record->copiedFrom = from;
        record->copiedArea = area;
        record->changesAtCopy = record->changes;
    }
}

std::optional<std::vector<ChangedRow>> DifferencesFromOriginal(cairo_surface_t* copy,
                                                               cairo_surface_t* original,
                                                               CopiedArea area) {
    const Record* record = RecordOf(copy);
    const Record* source = RecordOf(original);
    const CopiedArea& last = record != nullptr ? record->copiedArea : area;
    if (record == nullptr || source == nullptr || record->copiedFrom.record != source->id ||
        last.left != area.left || last.top != area.top || last.right != area.right ||
        last.bottom != area.bottom) {
        return std::nullopt;
    }
    std::optional<std::vector<ChangedRow>> mine = After(*record, record->changesAtCopy);
    std::optional<std::vector<ChangedRow>> theirs = After(*source, record->copiedFrom.changes);
    if (!mine || !theirs) {
        return std::nullopt;
    }
    mine->insert(mine->end(), theirs->begin(), theirs->end());
    // One span a row, from the leftmost change to the rightmost: far fewer, and a copy compares
    // what lies between at the speed of memory.
    std::sort(mine->begin(), mine->end(), [](const ChangedRow& a, const ChangedRow& b) {
        return a.y != b.y ? a.y < b.y : a.left < b.left;
    });
    std::vector<ChangedRow> rows;
    for (const ChangedRow& row : *mine) {
        if (!rows.empty() && rows.back().y == row.y) {
            rows.back().right = std::max(rows.back().right, row.right);
        } else {
            rows.push_back(row);
        }
    }
    return rows;
}

}  // namespace platform
