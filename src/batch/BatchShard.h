#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace zot {

// Part K of N of a batch (1 <= K <= N). Every line belongs to exactly one
// part, decided by its output name alone, so that parts run anywhere (other
// processes, other machines) together write what one run writes.
struct BatchShard {
    int index = 1;
    int count = 1;

    // The rule, kept the same across versions and machines: the output name
    // with "\" read as "/" and ".", ".." and doubled "/" taken out (so that
    // every spelling of one file lands in one part), as UTF-8 bytes, hashed
    // with 64-bit FNV-1a; the line belongs to part hash % N + 1.
    bool owns(const QString& outputName) const;
    bool whole() const { return count == 1; }
};

quint64 outputNameHash(const QString& outputName);

// "K/N" as given to --shard; nothing when it is not one.
std::optional<BatchShard> parseBatchShard(const QString& text);

} // namespace zot
