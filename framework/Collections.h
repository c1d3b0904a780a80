// Collections of the class library: CArray, CStringArray, CMap,
// CMapStringToPtr, CPtrList and CTypedPtrList. Header-only templates over
// the standard containers. An index outside the array is a programming
// error: it asserts in debug builds and never touches memory out of range.
#pragma once

#include <cassert>
#include <iterator>
#include <list>
#include <map>
#include <utility>
#include <vector>

#include "framework/String.h"

// An iteration position in a CMap or a list; null ends the iteration.
struct __POSITION {};
using POSITION = __POSITION*;

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray {
 public:
  int GetSize() const { return static_cast<int>(items_.size()); }
  int GetCount() const { return GetSize(); }
  bool IsEmpty() const { return items_.empty(); }
  int GetUpperBound() const { return GetSize() - 1; }
  void SetSize(int newSize) { items_.resize(newSize > 0 ? static_cast<size_t>(newSize) : 0); }
  void RemoveAll() { items_.clear(); }

  const TYPE& GetAt(int index) const { return items_.at(Checked(index)); }
  TYPE& ElementAt(int index) { return items_.at(Checked(index)); }
  void SetAt(int index, ARG_TYPE value) { items_.at(Checked(index)) = value; }
  const TYPE& operator[](int index) const { return GetAt(index); }
  TYPE& operator[](int index) { return ElementAt(index); }
  TYPE* GetData() { return items_.data(); }
  const TYPE* GetData() const { return items_.data(); }

  // Sets an element, growing the array when the index is past its end.
  void SetAtGrow(int index, ARG_TYPE value) {
    assert(index >= 0);
    if (index >= GetSize()) SetSize(index + 1);
    items_[static_cast<size_t>(index)] = value;
  }
  int Add(ARG_TYPE value) {
    items_.push_back(value);
    return GetUpperBound();
  }
  int Append(const CArray& other) {
    const int first = GetSize();
    items_.insert(items_.end(), other.items_.begin(), other.items_.end());
    return first;
  }
  void Copy(const CArray& other) { items_ = other.items_; }
  void InsertAt(int index, ARG_TYPE value, int count = 1) {
    assert(index >= 0 && count >= 0);
    if (index > GetSize()) SetSize(index);
    items_.insert(items_.begin() + index, static_cast<size_t>(count), value);
  }
  void RemoveAt(int index, int count = 1) {
    if (index < 0 || count <= 0 || index >= GetSize()) return;
    const int last = index + count > GetSize() ? GetSize() : index + count;
    items_.erase(items_.begin() + index, items_.begin() + last);
  }

  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  size_t Checked(int index) const {
    assert(index >= 0 && index < GetSize());
    return static_cast<size_t>(index);
  }
  std::vector<TYPE> items_;
};

using CStringArray = CArray<CString, const char*>;
using CByteArray = CArray<BYTE, BYTE>;
using CPtrArray = CArray<void*, void*>;

// A map with ordered keys; GetNextAssoc walks it in key order.
template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap {
 public:
  int GetCount() const { return static_cast<int>(map_.size()); }
  int GetSize() const { return GetCount(); }
  bool IsEmpty() const { return map_.empty(); }
  bool Lookup(ARG_KEY key, VALUE& value) const {
    const auto it = map_.find(KEY(key));
    if (it == map_.end()) return false;
    value = it->second;
    return true;
  }
  void SetAt(ARG_KEY key, ARG_VALUE value) { map_[KEY(key)] = value; }
  VALUE& operator[](ARG_KEY key) { return map_[KEY(key)]; }
  bool RemoveKey(ARG_KEY key) { return map_.erase(KEY(key)) > 0; }
  void RemoveAll() { map_.clear(); }

  POSITION GetStartPosition() const { return ToPosition(map_.begin()); }
  void GetNextAssoc(POSITION& position, KEY& key, VALUE& value) const {
    const auto* entry = reinterpret_cast<const std::pair<const KEY, VALUE>*>(position);
    key = entry->first;
    value = entry->second;
    position = ToPosition(std::next(map_.find(entry->first)));
  }

 private:
  using Map = std::map<KEY, VALUE>;
  POSITION ToPosition(typename Map::const_iterator it) const {
    return it == map_.end() ? nullptr
                            : reinterpret_cast<POSITION>(const_cast<typename Map::value_type*>(&*it));
  }
  Map map_;
};

using CMapStringToPtr = CMap<CString, const char*, void*, void*>;
using CMapStringToString = CMap<CString, const char*, CString, const char*>;

// A doubly linked list of values; POSITION points at a node.
template <class TYPE, class ARG_TYPE = const TYPE&>
class CList {
  struct Node {
    Node* next;
    Node* prev;
    TYPE data;
  };

 public:
  CList() = default;
  CList(const CList&) = delete;
  CList& operator=(const CList&) = delete;
  ~CList() { RemoveAll(); }

  int GetCount() const { return count_; }
  int GetSize() const { return count_; }
  bool IsEmpty() const { return count_ == 0; }

  TYPE& GetHead() { return Checked(head_)->data; }
  const TYPE& GetHead() const { return Checked(head_)->data; }
  TYPE& GetTail() { return Checked(tail_)->data; }
  const TYPE& GetTail() const { return Checked(tail_)->data; }

  POSITION AddHead(ARG_TYPE value) { return InsertBefore(ToPosition(head_), value); }
  POSITION AddTail(ARG_TYPE value) { return InsertAfter(ToPosition(tail_), value); }
  TYPE RemoveHead() {
    TYPE value = GetHead();
    RemoveAt(ToPosition(head_));
    return value;
  }
  TYPE RemoveTail() {
    TYPE value = GetTail();
    RemoveAt(ToPosition(tail_));
    return value;
  }
  void RemoveAll() {
    while (head_) {
      Node* next = head_->next;
      delete head_;
      head_ = next;
    }
    tail_ = nullptr;
    count_ = 0;
  }

  POSITION GetHeadPosition() const { return ToPosition(head_); }
  POSITION GetTailPosition() const { return ToPosition(tail_); }
  TYPE& GetNext(POSITION& position) {
    Node* node = Checked(ToNode(position));
    position = ToPosition(node->next);
    return node->data;
  }
  const TYPE& GetNext(POSITION& position) const {
    Node* node = Checked(ToNode(position));
    position = ToPosition(node->next);
    return node->data;
  }
  TYPE& GetPrev(POSITION& position) {
    Node* node = Checked(ToNode(position));
    position = ToPosition(node->prev);
    return node->data;
  }
  TYPE& GetAt(POSITION position) { return Checked(ToNode(position))->data; }
  const TYPE& GetAt(POSITION position) const { return Checked(ToNode(position))->data; }
  void SetAt(POSITION position, ARG_TYPE value) { Checked(ToNode(position))->data = value; }

  // A null position inserts at the head (InsertBefore) or tail (InsertAfter).
  POSITION InsertBefore(POSITION position, ARG_TYPE value) {
    Node* at = ToNode(position);
    if (!at) at = head_;
    Node* node = new Node{at, at ? at->prev : nullptr, TYPE(value)};
    Link(node);
    return ToPosition(node);
  }
  POSITION InsertAfter(POSITION position, ARG_TYPE value) {
    Node* at = ToNode(position);
    if (!at) at = tail_;
    Node* node = new Node{at ? at->next : nullptr, at, TYPE(value)};
    Link(node);
    return ToPosition(node);
  }
  void RemoveAt(POSITION position) {
    Node* node = Checked(ToNode(position));
    (node->prev ? node->prev->next : head_) = node->next;
    (node->next ? node->next->prev : tail_) = node->prev;
    delete node;
    --count_;
  }
  POSITION Find(ARG_TYPE value, POSITION after = nullptr) const {
    for (Node* node = after ? ToNode(after)->next : head_; node; node = node->next)
      if (node->data == value) return ToPosition(node);
    return nullptr;
  }
  POSITION FindIndex(int index) const {
    if (index < 0 || index >= count_) return nullptr;
    Node* node = head_;
    while (index-- > 0) node = node->next;
    return ToPosition(node);
  }

 private:
  static Node* ToNode(POSITION position) { return reinterpret_cast<Node*>(position); }
  static POSITION ToPosition(Node* node) { return reinterpret_cast<POSITION>(node); }
  static Node* Checked(Node* node) {
    assert(node != nullptr);
    return node;
  }
  void Link(Node* node) {
    (node->prev ? node->prev->next : head_) = node;
    (node->next ? node->next->prev : tail_) = node;
    ++count_;
  }

  Node* head_ = nullptr;
  Node* tail_ = nullptr;
  int count_ = 0;
};

using CPtrList = CList<void*, void*>;
using CObList = CList<class CObject*, class CObject*>;

// A list of typed pointers held in a list of BASE_CLASS (CPtrList or CObList).
template <class BASE_CLASS, class TYPE>
class CTypedPtrList : public CList<TYPE, TYPE> {};
