#pragma once

// The host binding a plug-in base runs under, as AdapterKind() reports it.
// The numbers are fixed; the editor's input and resizing rules tell bindings
// apart by them. This module has only the VST 3 binding.
enum AdapterKindId : int {
  kAdapterVst3 = 1,
  kAdapterFramedByHost = 3,  // another binding whose host, too, sizes the frame around the editor
};

// The host has its own per-parameter context menu (opened by a right press).
constexpr bool HostOffersParamMenu(int kind) { return kind == kAdapterVst3; }

// The host resizes its window around the editor itself, so the editor resizes
// only its own window.
constexpr bool HostSizesEditorFrame(int kind) { return kind == kAdapterVst3 || kind == kAdapterFramedByHost; }
