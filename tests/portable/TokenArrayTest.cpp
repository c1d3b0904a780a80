// TokenArray against a plain vector: random inserts, removals, writes and
// walks at random places keep the same tokens in the same order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "engine/TokenArray.h"

namespace {

// Distinct fake pointers: the array never looks at what they point to.
QVMToken* Fake(size_t n) { return reinterpret_cast<QVMToken*>(static_cast<uintptr_t>(16 * (n + 1))); }

void ExpectSame(const TokenArray& array, const std::vector<QVMToken*>& model) {
  ASSERT_EQ(array.GetSize(), static_cast<int>(model.size()));
  for (size_t i = 0; i < model.size(); ++i) ASSERT_EQ(array.GetAt(static_cast<int>(i)), model[i]) << i;
  EXPECT_EQ(std::vector<QVMToken*>(array.begin(), array.end()), model);
}

TEST(TokenArray, BehavesAsAnArrayUnderRandomEdits) {
  std::mt19937 random(5);
  TokenArray array;
  std::vector<QVMToken*> model;
  size_t next = 0;
  for (int step = 0; step < 20000; ++step) {
    const int size = static_cast<int>(model.size());
    const int at = static_cast<int>(random() % (size + 1));
    switch (random() % 6) {
      case 0:
      case 1: {
        const int count = static_cast<int>(random() % 3);
        QVMToken* token = Fake(next++);
        array.InsertAt(at, token, count);
        model.insert(model.begin() + at, static_cast<size_t>(count), token);
        break;
      }
      case 2: {
        const int count = static_cast<int>(random() % 4);
        array.RemoveAt(at, count);
        if (at < size) model.erase(model.begin() + at, model.begin() + std::min(size, at + count));
        break;
      }
      case 3:
        if (at < size) {
          array.SetAt(at, Fake(next));
          model[static_cast<size_t>(at)] = Fake(next++);
        }
        break;
      case 4:
        array.Add(Fake(next));
        model.push_back(Fake(next++));
        break;
      default:
        if (at < size) {
          ASSERT_EQ(array[at], model[static_cast<size_t>(at)]);
        }
        break;
    }
    if (step % 1000 == 0) ExpectSame(array, model);
  }
  ExpectSame(array, model);
  TokenArray copy;
  copy.Copy(array);
  ExpectSame(copy, model);
  array.RemoveAll();
  EXPECT_TRUE(array.IsEmpty());
  array.InsertAt(5, Fake(1));  // past the end: at the end
  EXPECT_EQ(array.GetSize(), 1);
}

// The edits of an operator pass: a bracket before the operand and one
// after a group far to the right, in turn, with removals now and then that
// reach across both places.
TEST(TokenArray, KeepsOrderWhenEditedAtTwoPlacesInTurn) {
  std::mt19937 random(11);
  TokenArray array;
  std::vector<QVMToken*> model;
  size_t next = 0;
  for (int i = 0; i < 2000; ++i) {
    array.Add(Fake(next));
    model.push_back(Fake(next++));
  }
  for (int step = 0; step < 6000; ++step) {
    const int size = static_cast<int>(model.size());
    const int first = static_cast<int>(random() % 8) + size / 5;
    const int second = size - static_cast<int>(random() % 8);
    const int at = step % 2 == 0 ? first : second;
    if (step % 200 == 199) {  // from before the first place to past the second one
      const int from = first / 2;
      array.RemoveAt(from, second - from);
      model.erase(model.begin() + from, model.begin() + second);
      continue;
    }
    array.InsertAt(at, Fake(next));
    model.insert(model.begin() + at, Fake(next++));
    ASSERT_EQ(array.GetAt(at), model[static_cast<size_t>(at)]) << step;
  }
  ExpectSame(array, model);
}

}  // namespace
