// The tree view (see treeview.h). Items are kept by number (their handle is the number); the
// rows shown are the items whose ancestors are all expanded, in tree order, from the first
// visible one down.
#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/base/text.h"
#include "platform/comctl/comctl_internal.h"
#include "platform/comctl/tooltip.h"
#include "platform/comctl/treeview.h"
#include "platform/user/sys_colors.h"

namespace {

using ItemId = ULONG_PTR;

struct Item {
  ItemId parent = 0;  // 0: a root item
  std::vector<ItemId> children;
  std::u16string text;
  bool textCallback = false;
  UINT state = 0;
  int image = 0, selectedImage = 0;
  int childrenFlag = 0;  // TVIF_CHILDREN as set (I_CHILDRENCALLBACK not kept)
  LPARAM lParam = 0;
};

struct Tree {
  std::map<ItemId, Item> items;
  std::vector<ItemId> roots;
  ItemId next = 1;
  ItemId selected = 0;
  ItemId top = 0;  // the first visible row, 0: the first root
  ItemId dropHilite = 0;
  int indent = kTreeIndent;
  int itemHeight = kTreeItemHeight;
  HANDLE images[2] = {nullptr, nullptr};
};

HTREEITEM Handle(ItemId id) { return reinterpret_cast<HTREEITEM>(id); }
ItemId Id(HTREEITEM h) { return reinterpret_cast<ItemId>(h); }
DWORD Style(HWND hwnd) { return DWORD(GetWindowLongW(hwnd, GWL_STYLE)); }

Item* Get(Tree& t, HTREEITEM h) {
  auto it = t.items.find(Id(h));
  return it == t.items.end() ? nullptr : &it->second;
}

std::vector<ItemId>& Siblings(Tree& t, ItemId parent) { return parent ? t.items[parent].children : t.roots; }

bool HasChildren(const Item& i) { return !i.children.empty() || i.childrenFlag > 0; }

// Every row a person can see, in order (not counting the scrolled-off ones).
void Rows(Tree& t, const std::vector<ItemId>& level, std::vector<ItemId>& out) {
  for (ItemId id : level) {
    out.push_back(id);
    Item& i = t.items[id];
    if (i.state & TVIS_EXPANDED) Rows(t, i.children, out);
  }
}

std::vector<ItemId> Rows(Tree& t) {
  std::vector<ItemId> all;
  Rows(t, t.roots, all);
  return all;
}

int Depth(Tree& t, ItemId id) {
  int d = 0;
  for (ItemId p = t.items[id].parent; p != 0; p = t.items[p].parent) ++d;
  return d;
}

// The row index of the top row (0 when the top item is gone or hidden).
size_t TopRow(Tree& t, const std::vector<ItemId>& rows) {
  auto it = std::find(rows.begin(), rows.end(), t.top);
  return it == rows.end() ? 0 : size_t(it - rows.begin());
}

RECT RowRect(HWND hwnd, Tree& t, size_t row, size_t top) {
  RECT client;
  GetClientRect(hwnd, &client);
  int y = (int(row) - int(top)) * t.itemHeight;
  return RECT{0, y, client.right, y + t.itemHeight};
}

int LevelIndent(HWND hwnd, Tree& t, ItemId id) {
  int levels = Depth(t, id) + ((Style(hwnd) & TVS_LINESATROOT) ? 1 : 0);
  return levels * t.indent;
}

std::u16string TextOf(HWND hwnd, Tree& t, ItemId id) {
  Item& i = t.items[id];
  if (!i.textCallback) return i.text;
  NMTVDISPINFOW info{};
  WCHAR buffer[260] = {};
  info.item.mask = TVIF_TEXT;
  info.item.hItem = Handle(id);
  info.item.pszText = buffer;
  info.item.cchTextMax = 260;
  info.item.lParam = i.lParam;
  ComctlNotify(hwnd, TVN_GETDISPINFOW, &info.hdr);
  buffer[259] = 0;
  return info.item.pszText == buffer ? std::u16string(buffer) : info.item.pszText ? std::u16string(info.item.pszText) : u"";
}

TVITEMW Describe(Tree& t, ItemId id) {
  TVITEMW v{};
  if (id == 0) return v;
  Item& i = t.items[id];
  v.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_STATE;
  v.hItem = Handle(id);
  v.state = i.state;
  v.stateMask = 0xFFFF;
  v.lParam = i.lParam;
  return v;
}

LRESULT Tell(HWND hwnd, Tree& t, UINT code, UINT action, ItemId oldId, ItemId newId) {
  NMTREEVIEWW n{};
  n.action = action;
  n.itemOld = Describe(t, oldId);
  n.itemNew = Describe(t, newId);
  return ComctlNotify(hwnd, code, &n.hdr);
}

// Expands, collapses or toggles; the parent may refuse. FALSE for an item without children or
// a refusal; TRUE also when there was nothing to change.
bool Expand(HWND hwnd, Tree& t, ItemId id, UINT code) {
  auto it = t.items.find(id);
  if (it == t.items.end()) return false;
  Item& i = it->second;
  bool expanded = (i.state & TVIS_EXPANDED) != 0;
  UINT action = code & TVE_TOGGLE;
  if (action == TVE_TOGGLE) action = expanded ? TVE_COLLAPSE : TVE_EXPAND;
  if (action != TVE_EXPAND && action != TVE_COLLAPSE) return false;
  if (!HasChildren(i)) return false;
  if ((action == TVE_EXPAND) == expanded) return true;
  if (Tell(hwnd, t, TVN_ITEMEXPANDINGW, action, 0, id) != 0) return false;
  if (t.items.find(id) == t.items.end()) return false;
  Item& again = t.items[id];
  if (action == TVE_EXPAND) again.state |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
  else again.state &= ~UINT(TVIS_EXPANDED);
  InvalidateRect(hwnd, nullptr, TRUE);
  Tell(hwnd, t, TVN_ITEMEXPANDEDW, action, 0, id);
  return true;
}

// Makes an item a visible row: its ancestors are expanded (asking the parent as any expansion does).
void Reveal(HWND hwnd, Tree& t, ItemId id) {
  std::vector<ItemId> chain;
  for (ItemId p = t.items[id].parent; p != 0; p = t.items[p].parent) chain.push_back(p);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) Expand(hwnd, t, *it, TVE_EXPAND);
}

// Moves the selection: asked, changed, told.
bool Select(HWND hwnd, Tree& t, ItemId id, UINT action) {
  if (id != 0 && t.items.find(id) == t.items.end()) return false;
  if (id == t.selected) return true;
  ItemId old = t.selected;
  if (Tell(hwnd, t, TVN_SELCHANGINGW, action, old, id) != 0) return false;
  if (old != 0 && t.items.count(old)) t.items[old].state &= ~UINT(TVIS_SELECTED);
  t.selected = id;
  if (id != 0) {
    t.items[id].state |= TVIS_SELECTED;
    Reveal(hwnd, t, id);
  }
  InvalidateRect(hwnd, nullptr, TRUE);
  Tell(hwnd, t, TVN_SELCHANGEDW, action, old, id);
  return true;
}

void Delete(HWND hwnd, Tree& t, ItemId id) {
  Item copy = t.items[id];
  for (ItemId child : copy.children) Delete(hwnd, t, child);
  NMTREEVIEWW n{};
  n.itemOld = Describe(t, id);
  ComctlNotify(hwnd, TVN_DELETEITEMW, &n.hdr);
  std::erase(Siblings(t, copy.parent), id);
  t.items.erase(id);
  if (t.selected == id) t.selected = 0;
  if (t.top == id) t.top = 0;
  if (t.dropHilite == id) t.dropHilite = 0;
}

void Apply(Item& i, const TVITEMW& v) {
  if (v.mask & TVIF_TEXT) {
    i.textCallback = v.pszText == LPSTR_TEXTCALLBACKW;
    i.text = (!i.textCallback && v.pszText) ? std::u16string(v.pszText) : std::u16string();
  }
  if (v.mask & TVIF_STATE) i.state = (i.state & ~v.stateMask) | (v.state & v.stateMask);
  if (v.mask & TVIF_IMAGE) i.image = v.iImage;
  if (v.mask & TVIF_SELECTEDIMAGE) i.selectedImage = v.iSelectedImage;
  if (v.mask & TVIF_CHILDREN) i.childrenFlag = v.cChildren;
  if (v.mask & TVIF_PARAM) i.lParam = v.lParam;
}

HTREEITEM Insert(HWND hwnd, Tree& t, const TVINSERTSTRUCTW& ins) {
  ItemId parent = (ins.hParent == nullptr || ins.hParent == TVI_ROOT) ? 0 : Id(ins.hParent);
  if (parent != 0 && t.items.find(parent) == t.items.end()) return nullptr;
  Item item;
  item.parent = parent;
  Apply(item, ins.item);
  item.state &= ~UINT(TVIS_SELECTED);
  ItemId id = t.next++;
  std::vector<ItemId>& level = Siblings(t, parent);
  size_t at = level.size();
  if (ins.hInsertAfter == TVI_FIRST) {
    at = 0;
  } else if (ins.hInsertAfter == TVI_SORT) {
    at = 0;
    while (at < level.size() && lstrcmpiW(t.items[level[at]].text.c_str(), item.text.c_str()) <= 0) ++at;
  } else if (ins.hInsertAfter != TVI_LAST && ins.hInsertAfter != nullptr) {
    auto it = std::find(level.begin(), level.end(), Id(ins.hInsertAfter));
    if (it != level.end()) at = size_t(it - level.begin()) + 1;
  }
  t.items[id] = item;
  Siblings(t, parent).insert(Siblings(t, parent).begin() + std::ptrdiff_t(at), id);
  InvalidateRect(hwnd, nullptr, TRUE);
  return Handle(id);
}

ItemId NextItem(HWND hwnd, Tree& t, UINT code, ItemId from) {
  auto sibling = [&](int step) -> ItemId {
    if (!t.items.count(from)) return 0;
    std::vector<ItemId>& level = Siblings(t, t.items[from].parent);
    auto it = std::find(level.begin(), level.end(), from);
    long at = long(it - level.begin()) + step;
    return at >= 0 && at < long(level.size()) ? level[size_t(at)] : 0;
  };
  std::vector<ItemId> rows = Rows(t);
  auto row = [&](ItemId id) { return std::find(rows.begin(), rows.end(), id); };
  switch (code) {
    case TVGN_ROOT: return t.roots.empty() ? 0 : t.roots.front();
    case TVGN_NEXT: return sibling(1);
    case TVGN_PREVIOUS: return sibling(-1);
    case TVGN_PARENT: return t.items.count(from) ? t.items[from].parent : 0;
    case TVGN_CHILD: {
      if (from == 0 || Handle(from) == TVI_ROOT) return t.roots.empty() ? 0 : t.roots.front();
      return t.items.count(from) && !t.items[from].children.empty() ? t.items[from].children.front() : 0;
    }
    case TVGN_CARET: return t.selected;
    case TVGN_DROPHILITE: return t.dropHilite;
    case TVGN_FIRSTVISIBLE: return rows.empty() ? 0 : rows[TopRow(t, rows)];
    case TVGN_NEXTVISIBLE: {
      auto it = row(from);
      return it != rows.end() && it + 1 != rows.end() ? *(it + 1) : 0;
    }
    case TVGN_PREVIOUSVISIBLE: {
      auto it = row(from);
      return it != rows.end() && it != rows.begin() ? *(it - 1) : 0;
    }
    case TVGN_LASTVISIBLE: return rows.empty() ? 0 : rows.back();
    default: (void)hwnd; return 0;
  }
}

void Paint(HWND hwnd, Tree& t) {
  std::vector<ItemId> rows = Rows(t);
  size_t top = TopRow(t, rows);
  ComctlPaint(hwnd, [&](HDC dc, RECT client) {
    ComctlFill(dc, client, COLOR_WINDOW);
    for (size_t r = top; r < rows.size(); ++r) {
      RECT line = RowRect(hwnd, t, r, top);
      if (line.top >= client.bottom) break;
      ItemId id = rows[r];
      Item& i = t.items[id];
      int x = LevelIndent(hwnd, t, id);
      if ((Style(hwnd) & TVS_HASBUTTONS) && HasChildren(i) && x >= t.indent) {
        RECT box{x - t.indent + 5, line.top + 4, x - t.indent + 14, line.top + 13};
        ComctlFill(dc, box, COLOR_WINDOW);
        FrameRect(dc, &box, GetSysColorBrush(COLOR_BTNSHADOW));
        RECT minus{box.left + 2, box.top + 4, box.right - 2, box.top + 5};
        FillRect(dc, &minus, GetSysColorBrush(COLOR_WINDOWTEXT));
        if (!(i.state & TVIS_EXPANDED)) {
          RECT plus{box.left + 4, box.top + 2, box.left + 5, box.bottom - 2};
          FillRect(dc, &plus, GetSysColorBrush(COLOR_WINDOWTEXT));
        }
      }
      std::u16string text = TextOf(hwnd, t, id);
      RECT label{x + 2, line.top, line.right, line.bottom};
      bool selected = id == t.selected;
      if (selected) {
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
        RECT mark{label.left, label.top, std::min(label.right, label.left + size.cx + 4), label.bottom};
        ComctlFill(dc, mark, COLOR_HIGHLIGHT);
      }
      SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
      label.left += 2;
      ComctlText(dc, text.c_str(), label, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
  });
}

LRESULT HitTest(HWND hwnd, Tree& t, TVHITTESTINFO& hit) {
  std::vector<ItemId> rows = Rows(t);
  size_t top = TopRow(t, rows);
  hit.hItem = nullptr;
  hit.flags = TVHT_NOWHERE;
  if (hit.pt.y < 0) return 0;
  size_t r = top + size_t(hit.pt.y / t.itemHeight);
  if (r >= rows.size()) return 0;
  int x = LevelIndent(hwnd, t, rows[r]);
  hit.hItem = Handle(rows[r]);
  hit.flags = hit.pt.x < x - t.indent ? TVHT_ONITEMINDENT : hit.pt.x < x ? TVHT_ONITEMBUTTON : TVHT_ONITEMLABEL;
  return reinterpret_cast<LRESULT>(hit.hItem);
}

}  // namespace

LRESULT TreeViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    MakeControlState<Tree>(hwnd);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  Tree* t = ControlState<Tree>(hwnd);
  if (t == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
  switch (msg) {
    case TVM_INSERTITEMW: {
      auto* ins = reinterpret_cast<const TVINSERTSTRUCTW*>(lParam);
      return ins ? reinterpret_cast<LRESULT>(Insert(hwnd, *t, *ins)) : 0;
    }
    case TVM_DELETEITEM: {
      auto h = reinterpret_cast<HTREEITEM>(lParam);
      if (h == nullptr || h == TVI_ROOT) {
        std::vector<ItemId> roots = t->roots;
        for (ItemId id : roots) Delete(hwnd, *t, id);
      } else if (Get(*t, h) != nullptr) {
        Delete(hwnd, *t, Id(h));
      } else {
        return FALSE;
      }
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    }
    case TVM_EXPAND: return Expand(hwnd, *t, Id(reinterpret_cast<HTREEITEM>(lParam)), UINT(wParam)) ? TRUE : FALSE;
    case TVM_SELECTITEM: {
      ItemId id = Id(reinterpret_cast<HTREEITEM>(lParam));
      if (wParam == TVGN_CARET) return Select(hwnd, *t, id, TVC_UNKNOWN) ? TRUE : FALSE;
      if (id != 0 && !t->items.count(id)) return FALSE;
      if (wParam == TVGN_FIRSTVISIBLE) {
        if (id != 0) Reveal(hwnd, *t, id);
        t->top = id;
      } else if (wParam == TVGN_DROPHILITE) {
        t->dropHilite = id;
      } else {
        return FALSE;
      }
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    }
    case TVM_GETNEXTITEM: {
      auto from = reinterpret_cast<HTREEITEM>(lParam);
      return reinterpret_cast<LRESULT>(Handle(NextItem(hwnd, *t, UINT(wParam), from == TVI_ROOT ? 0 : Id(from))));
    }
    case TVM_GETITEMW:
    case TVM_SETITEMW: {
      auto* v = reinterpret_cast<TVITEMW*>(lParam);
      if (v == nullptr) return FALSE;
      Item* i = Get(*t, v->hItem);
      if (i == nullptr) return FALSE;
      if (msg == TVM_SETITEMW) {
        UINT keep = i->state & TVIS_SELECTED;
        Apply(*i, *v);
        i->state = (i->state & ~UINT(TVIS_SELECTED)) | keep;
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
      }
      if ((v->mask & TVIF_TEXT) && v->pszText != nullptr && v->cchTextMax > 0)
        lstrcpynW(v->pszText, TextOf(hwnd, *t, Id(v->hItem)).c_str(), v->cchTextMax);
      if (v->mask & TVIF_STATE) v->state = i->state & v->stateMask;
      if (v->mask & TVIF_IMAGE) v->iImage = i->image;
      if (v->mask & TVIF_SELECTEDIMAGE) v->iSelectedImage = i->selectedImage;
      if (v->mask & TVIF_CHILDREN) v->cChildren = HasChildren(*i) ? 1 : 0;
      if (v->mask & TVIF_PARAM) v->lParam = i->lParam;
      return TRUE;
    }
    case TVM_GETITEMSTATE: {
      Item* i = Get(*t, reinterpret_cast<HTREEITEM>(wParam));
      return i ? LRESULT(i->state & UINT(lParam)) : 0;
    }
    case TVM_GETCOUNT: return LRESULT(t->items.size());
    case TVM_GETVISIBLECOUNT: {
      RECT client;
      GetClientRect(hwnd, &client);
      return client.bottom / t->itemHeight;
    }
    case TVM_GETITEMRECT: {
      // In: the item's handle in the rectangle's first bytes; TRUE: the label only.
      auto* r = reinterpret_cast<RECT*>(lParam);
      if (r == nullptr) return FALSE;
      HTREEITEM h = *reinterpret_cast<HTREEITEM*>(r);
      std::vector<ItemId> rows = Rows(*t);
      auto it = std::find(rows.begin(), rows.end(), Id(h));
      size_t top = TopRow(*t, rows);
      if (it == rows.end() || size_t(it - rows.begin()) < top) return FALSE;
      RECT line = RowRect(hwnd, *t, size_t(it - rows.begin()), top);
      if (wParam) line.left = LevelIndent(hwnd, *t, Id(h)) + 2;
      *r = line;
      return TRUE;
    }
    case TVM_HITTEST: {
      auto* hit = reinterpret_cast<TVHITTESTINFO*>(lParam);
      return hit ? HitTest(hwnd, *t, *hit) : 0;
    }
    case TVM_ENSUREVISIBLE: {
      ItemId id = Id(reinterpret_cast<HTREEITEM>(lParam));
      if (!t->items.count(id)) return FALSE;
      Reveal(hwnd, *t, id);
      return TRUE;
    }
    case TVM_SETINDENT: t->indent = std::max(1, int(wParam)); InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case TVM_GETINDENT: return t->indent;
    case TVM_SETITEMHEIGHT: {
      int old = t->itemHeight;
      t->itemHeight = SHORT(wParam) <= 0 ? kTreeItemHeight : int(SHORT(wParam));
      InvalidateRect(hwnd, nullptr, TRUE);
      return old;
    }
    case TVM_GETITEMHEIGHT: return t->itemHeight;
    case TVM_SETIMAGELIST: {
      if (wParam > 1) return 0;
      HANDLE old = t->images[wParam];
      t->images[wParam] = reinterpret_cast<HANDLE>(lParam);
      return reinterpret_cast<LRESULT>(old);
    }
    case TVM_GETIMAGELIST: return wParam > 1 ? 0 : reinterpret_cast<LRESULT>(t->images[wParam]);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      TVHITTESTINFO hit{POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, 0, nullptr};
      HitTest(hwnd, *t, hit);
      SetFocus(hwnd);
      if (hit.hItem == nullptr) return 0;
      if (msg == WM_LBUTTONDBLCLK) {
        if (ComctlNotifyCode(hwnd, NM_DBLCLK) == 0) Expand(hwnd, *t, Id(hit.hItem), TVE_TOGGLE);
      } else if (hit.flags == TVHT_ONITEMBUTTON) {
        Expand(hwnd, *t, Id(hit.hItem), TVE_TOGGLE);
      } else {
        Select(hwnd, *t, Id(hit.hItem), TVC_BYMOUSE);
      }
      return 0;
    }
    case WM_KEYDOWN: {
      ItemId sel = t->selected;
      switch (wParam) {
        case VK_DOWN: if (ItemId n = NextItem(hwnd, *t, TVGN_NEXTVISIBLE, sel)) Select(hwnd, *t, n, TVC_BYKEYBOARD); break;
        case VK_UP: if (ItemId p = NextItem(hwnd, *t, TVGN_PREVIOUSVISIBLE, sel)) Select(hwnd, *t, p, TVC_BYKEYBOARD); break;
        case VK_RIGHT: if (sel) Expand(hwnd, *t, sel, TVE_EXPAND); break;
        case VK_LEFT:
          if (sel && (t->items[sel].state & TVIS_EXPANDED)) Expand(hwnd, *t, sel, TVE_COLLAPSE);
          else if (sel && t->items[sel].parent) Select(hwnd, *t, t->items[sel].parent, TVC_BYKEYBOARD);
          break;
        default: break;
      }
      return 0;
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_DESTROY: {
      std::vector<ItemId> roots = t->roots;
      for (ItemId id : roots) Delete(hwnd, *t, id);
      return 0;
    }
    case WM_PAINT: Paint(hwnd, *t); return 0;
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

// The driver's click on an item's row (comctl_sim.h): FALSE when the row is not shown.
BOOL ComctlClickTreeItem(HWND hwnd, HTREEITEM item, bool twice) {
  Tree* t = ControlState<Tree>(hwnd);
  if (t == nullptr) return FALSE;
  // TVM_GETITEMRECT takes the item in the rectangle's first bytes.
  RECT r{};
  std::memcpy(&r, &item, sizeof item);
  if (!SendMessageW(hwnd, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r))) return FALSE;
  LPARAM at = MAKELPARAM(r.left + 4, (r.top + r.bottom) / 2);
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(hwnd, WM_LBUTTONUP, 0, at);
  if (twice) {
    SendMessageW(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageW(hwnd, WM_LBUTTONUP, 0, at);
  }
  return TRUE;
}
