#include "db/PackedRows.h"

#include <cstring>

QByteArrayView PackedRows::add(QByteArrayView row)
{
    if (row.isEmpty())
        return {};
    char* at = nullptr;
    if (row.size() > kBlockSize) {
        // A row larger than a block gets one of its own, ahead of the block being filled.
        auto own = std::make_unique<char[]>(static_cast<std::size_t>(row.size()));
        at = own.get();
        blocks_.insert(blocks_.empty() ? blocks_.end() : blocks_.end() - 1, std::move(own));
    } else {
        if (used_ + row.size() > kBlockSize) {
            blocks_.push_back(std::make_unique<char[]>(kBlockSize));
            used_ = 0;
        }
        at = blocks_.back().get() + used_;
        used_ += row.size();
    }
    std::memcpy(at, row.data(), static_cast<std::size_t>(row.size()));
    return {at, row.size()};
}

void PackedRows::clear()
{
    blocks_.clear();
    used_ = kBlockSize;
}
