#pragma once

#include <QByteArrayView>

#include <memory>
#include <vector>

// Packed rows kept end to end in large blocks and freed together: a row held this way costs
// its bytes and no allocation of its own. What add returns stays valid until clear.
class PackedRows
{
public:
    QByteArrayView add(QByteArrayView row);
    void clear();

private:
    static constexpr qsizetype kBlockSize = 64 * 1024;

    std::vector<std::unique_ptr<char[]>> blocks_;
    qsizetype used_ = kBlockSize; // bytes taken in the last block of kBlockSize
};
