// The items of a list box or of a combo box's list: texts and item data, with the sorted
// insertion and the searches both controls answer.
#pragma once

#include <string>
#include <vector>

#include "platform/base/types.h"

struct ListItem {
  std::u16string text;
  ULONG_PTR data = 0;
};

struct ListItems {
  std::vector<ListItem> items;
  bool hasStrings = true;  // owner-drawn lists without strings keep only item data

  // The index a sorted list puts `text` at: after every item that sorts before or equal to it
  // (without regard to case).
  size_t SortedPlace(const std::u16string& text) const;
  // The first item after `after` (-1: from the start), wrapping round, whose text starts with
  // `prefix` (exact: equals it), without regard to case; -1 when none does.
  int Find(int after, const std::u16string& prefix, bool exact) const;
  bool Valid(LONG_PTR index) const { return index >= 0 && size_t(index) < items.size(); }

  // The item messages a list box and a combo box answer alike. Each answers kListError (the
  // value of both LB_ERR and CB_ERR) for an index outside the list.
  static constexpr LRESULT kListError = -1;
  // LB_GETTEXT / CB_GETLBTEXT: no size is given, so the whole text and its terminator are
  // copied to `out`, as on the platform; a list without strings copies the item data.
  LRESULT CopyText(LONG_PTR index, LPARAM out) const;
  // LB_GETTEXTLEN / CB_GETLBTEXTLEN.
  LRESULT TextLength(LONG_PTR index) const;
  // LB_SETITEMDATA / CB_SETITEMDATA and the matching GET messages.
  LRESULT SetData(LONG_PTR index, LPARAM data);
  LRESULT GetData(LONG_PTR index) const;
};
