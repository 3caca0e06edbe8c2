#include "records/db_links.h"

#include <algorithm>

namespace ravlo {

void TDBEditValidatorsColl::Remove(const TDBEditView* validator) {
    std::erase_if(links_, [&](const TDBEditLink& link) { return link.Validator == validator; });
}

void TDBEditValidatorsColl::UpDateEdits(const TDBEditView* except, const TDBRecordObj* record,
                                        std::span<const std::uint8_t> value) {
    // A control may drop links while it shows the value, so the links are walked on a copy.
    const std::vector<TDBEditLink> links = links_;
    for (const TDBEditLink& link : links) {
        if (link.Record == record && link.Validator != except) {
            link.Validator->ShowValue(value);
        }
    }
    std::erase_if(links_, [&](const TDBEditLink& link) {
        return link.Record == record && link.Validator != except && link.Validator->DropsLinkOnUpdate();
    });
}

const TDBEditLink* TDBEditValidatorsColl::FindEditLinkByEditValidator(const TDBEditView* validator) const {
    const auto it = std::ranges::find(links_, validator, &TDBEditLink::Validator);
    return it != links_.end() ? &*it : nullptr;
}

const TDBEditLink* TDBEditValidatorsColl::FindEditLinkByDBRecObj(const TDBRecordObj* record,
                                                                 bool liveOnly) const {
    const auto it = std::ranges::find_if(links_, [&](const TDBEditLink& link) {
        return link.Record == record && !(liveOnly && link.Validator->BeingDestroyed());
    });
    return it != links_.end() ? &*it : nullptr;
}

void TDBEditValidatorsColl::FreeLinksOf(const TDBRecordObj* record) {
    std::erase_if(links_, [&](const TDBEditLink& link) { return link.Record == record; });
}

void TDBLookValidatorsColl::Remove(const TDBLookView* validator) {
    std::erase_if(links_, [&](const TDBLookLink& link) { return link.Validator == validator; });
}

void TDBLookValidatorsColl::UpDateLooks() const {
    for (const TDBLookLink& link : links_) {
        link.Validator->Refresh();
    }
}

void TDBLookValidatorsColl::SetSelections(TDBRecordObj* record, std::int32_t index) {
    for (TDBLookLink& link : links_) {
        link.Selected = record;
        link.Validator->ShowSelection(index);
    }
}

void TDBLookValidatorsColl::SetInsSelections(TDBRecordObj* record, std::int32_t index) {
    for (TDBLookLink& link : links_) {
        if (link.Validator->InsertPending()) {
            link.Selected = record;
            link.Validator->ShowSelection(index);
            link.Validator->ClearInsertPending();
        }
    }
}

void TDBLookValidatorsColl::SetSelected(const TDBLookView* validator, TDBRecordObj* record) {
    for (TDBLookLink& link : links_) {
        if (link.Validator == validator) {
            link.Selected = record;
        }
    }
}

const TDBLookLink* TDBLookValidatorsColl::FindLookLinkBySelDBRecObj(const TDBRecordObj* record) const {
    const TDBLookLink* first = nullptr;
    for (const TDBLookLink& link : links_) {
        if (link.Selected != record) {
            continue;
        }
        if (link.Validator->HasControl()) {
            return &link;
        }
        if (first == nullptr) {
            first = &link;
        }
    }
    return first;
}

const TDBLookLink* TDBLookValidatorsColl::FindLookLinkByLookValidator(const TDBLookView* validator) const {
    const auto it = std::ranges::find(links_, validator, &TDBLookLink::Validator);
    return it != links_.end() ? &*it : nullptr;
}

void TDBLookValidatorsColl::ForgetRecord(const TDBRecordObj* record) {
    for (TDBLookLink& link : links_) {
        if (link.Selected == record) {
            link.Selected = nullptr;
        }
    }
}

} // namespace ravlo
