// A bookmark tree's special members, each a loop over a list of pending
// lists instead of a call per level: see BookmarkItem in bookmarks.h.
#include <utility>
#include <vector>

#include "host/admin/bookmarks.h"

namespace qm::host {

BookmarkItem::BookmarkItem(const BookmarkItem& other) : BookmarkFields(other) {
  // Each list is filled whole before the lists of its items are taken up,
  // so the addresses of those lists stay put while they wait.
  std::vector<std::pair<const std::vector<BookmarkItem>*, std::vector<BookmarkItem>*>> pending{
      {&other.children, &children}};
  while (!pending.empty()) {
    const auto [from, to] = pending.back();
    pending.pop_back();
    to->reserve(from->size());
    for (const BookmarkItem& item : *from) {
      BookmarkItem copy;
      static_cast<BookmarkFields&>(copy) = item;
      to->push_back(std::move(copy));
    }
    for (std::size_t i = 0; i < from->size(); ++i) {
      if (!(*from)[i].children.empty()) {
        pending.emplace_back(&(*from)[i].children, &(*to)[i].children);
      }
    }
  }
}

BookmarkItem& BookmarkItem::operator=(const BookmarkItem& other) {
  if (this != &other) {
    *this = BookmarkItem(other);
  }
  return *this;
}

BookmarkItem::~BookmarkItem() {
  // The children of every item taken out join this list before the item
  // goes, so no item is destroyed while it still holds any.
  while (!children.empty()) {
    std::vector<BookmarkItem> grandchildren = std::move(children.back().children);
    children.pop_back();
    for (BookmarkItem& grandchild : grandchildren) {
      children.push_back(std::move(grandchild));
    }
  }
}

bool BookmarkItem::operator==(const BookmarkItem& other) const {
  std::vector<std::pair<const BookmarkItem*, const BookmarkItem*>> pending{{this, &other}};
  while (!pending.empty()) {
    const auto [a, b] = pending.back();
    pending.pop_back();
    if (static_cast<const BookmarkFields&>(*a) != *b || a->children.size() != b->children.size()) {
      return false;
    }
    for (std::size_t i = 0; i < a->children.size(); ++i) {
      pending.emplace_back(&a->children[i], &b->children[i]);
    }
  }
  return true;
}

}  // namespace qm::host
