#pragma once
// The lists of the model are indexed from 1 to their count; position 0 exists, is never filled
// and never counts, so that indices in code read like the indices in the installer's files.

#include <cstdint>
#include <utility>
#include <vector>

template <class T>
class OneBasedList {
public:
    OneBasedList() : items_(1) {}

    int Count() const { return static_cast<int>(items_.size()) - 1; }
    bool Empty() const { return Count() == 0; }

    // Position 0 is valid (the empty element); positions above Count() are not.
    T& operator()(int i) { return items_.at(static_cast<std::size_t>(i)); }
    const T& operator()(int i) const { return items_.at(static_cast<std::size_t>(i)); }

    void Clear() { items_.assign(1, T{}); }
    // Grows or shrinks to n entries; new entries are default records.
    void Resize(int n) { items_.resize(static_cast<std::size_t>(n < 0 ? 0 : n) + 1); }
    void Append(T item) { items_.push_back(std::move(item)); }
    // Inserts at position (1..Count()+1); later entries move up one place.
    void InsertAt(int pos, T item) { items_.insert(items_.begin() + pos, std::move(item)); }
    // Removes position (1..Count()); later entries move down one place.
    void RemoveAt(int pos) { items_.erase(items_.begin() + pos); }
    void Swap(int a, int b) { std::swap(items_.at(a), items_.at(b)); }

    // Iterates the entries 1..Count().
    auto begin() { return items_.begin() + 1; }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin() + 1; }
    auto end() const { return items_.end(); }

    bool operator==(const OneBasedList&) const = default;

private:
    std::vector<T> items_;
};
