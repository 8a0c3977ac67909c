#include "console/ConsoleModel.h"

void TChunkList::Squeeze() {
    Chunks.shrink_to_fit();
    Pool.squeeze();
    Links.shrink_to_fit();
    Fonts.shrink_to_fit();
}

void TMessageNode::ResetSizes() {
    for (TConsoleChunk& chunk : Chunks.Chunks) {
        chunk.Width = 0;
        chunk.Height = 0;
    }
    LayoutWidth = 0;
    Height = 0;
    Measured = false;
}

TMessageNode* TLineList::Insert(std::unique_ptr<TMessageNode> owned, TMessageNode* after) {
    TMessageNode* node = owned.release();
    if (!after) {
        after = last_;
    }
    node->Prev = after;
    node->Next = after ? after->Next : first_;
    if (node->Prev) {
        node->Prev->Next = node;
    } else {
        first_ = node;
    }
    if (node->Next) {
        node->Next->Prev = node;
    } else {
        last_ = node;
    }
    ++count_;
    return node;
}

std::unique_ptr<TMessageNode> TLineList::Unlink(TMessageNode* node) {
    if (node->Prev) {
        node->Prev->Next = node->Next;
    } else {
        first_ = node->Next;
    }
    if (node->Next) {
        node->Next->Prev = node->Prev;
    } else {
        last_ = node->Prev;
    }
    node->Prev = nullptr;
    node->Next = nullptr;
    --count_;
    return std::unique_ptr<TMessageNode>(node);
}

void TLineList::Clear() {
    TMessageNode* node = last_;
    while (node) {
        TMessageNode* older = node->Prev;
        delete node;
        node = older;
    }
    first_ = nullptr;
    last_ = nullptr;
    count_ = 0;
}

bool TLineList::Contains(const TMessageNode* node) const {
    for (const TMessageNode* n = last_; n; n = n->Prev) {
        if (n == node) {
            return true;
        }
    }
    return false;
}
