#pragma once
// The plug-in's editor as a JUCE-based DAW shows it: JUCE's own editor window
// for the hosted plug-in, put on the X display, and what the screen shows
// there compared with the picture `vellox snapshot` paints off-screen.
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <juce_audio_processors/juce_audio_processors.h>

#include "hosted_vellox.h"

namespace vellox::juce_host {

// Lets the message thread run long enough for several of the editor's ticks.
inline void SettleEditor() { juce::MessageManager::getInstance()->runDispatchLoopUntil(300); }

// JUCE's windows take for granted the atoms a desktop's window manager has
// made; a bare virtual display has none. One connection, kept for the
// process, makes them (the server forgets atoms when its last client leaves).
inline void MakeDesktopAtoms() {
  static xcb_connection_t* keeper = [] {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    for (const char* name : {"WM_PROTOCOLS", "WM_TAKE_FOCUS", "WM_DELETE_WINDOW", "_NET_WM_PING", "WM_CHANGE_STATE",
                             "WM_STATE", "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN"})
      free(xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr));
    return c;
  }();
  (void)keeper;
}

// JUCE's editor for the plug-in in a top-level window at the screen's origin,
// once the plug-in's window is in it and has painted.
inline std::unique_ptr<juce::AudioProcessorEditor> OpenEditor(juce::AudioPluginInstance& plugin) {
  MakeDesktopAtoms();
  std::unique_ptr<juce::AudioProcessorEditor> editor(plugin.createEditorIfNeeded());
  if (!editor) return editor;
  editor->setTopLeftPosition(0, 0);
  editor->addToDesktop(juce::ComponentPeer::windowIsTemporary);
  editor->setVisible(true);
  SettleEditor();
  return editor;
}

// What the screen shows in `area`, as 0xRRGGBB per pixel, row by row; empty
// when the display cannot be read.
inline std::vector<uint32_t> CaptureScreen(juce::Rectangle<int> area) {
  std::vector<uint32_t> pixels;
  int screenNumber = 0;
  xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
  if (xcb_connection_has_error(c)) {
    xcb_disconnect(c);
    return pixels;
  }
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
  for (int i = 0; i < screenNumber && screens.rem; ++i) xcb_screen_next(&screens);
  xcb_get_image_reply_t* image = xcb_get_image_reply(
      c,
      xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, screens.data->root, int16_t(area.getX()), int16_t(area.getY()),
                    uint16_t(area.getWidth()), uint16_t(area.getHeight()), ~0u),
      nullptr);
  const size_t count = size_t(area.getWidth()) * size_t(area.getHeight());
  // A 24-bit screen keeps each pixel in a little-endian 32-bit word.
  if (image && size_t(xcb_get_image_data_length(image)) == count * 4) {
    const uint8_t* data = xcb_get_image_data(image);
    for (size_t i = 0; i < count; ++i)
      pixels.push_back(uint32_t(data[4 * i]) | uint32_t(data[4 * i + 1]) << 8 | uint32_t(data[4 * i + 2]) << 16);
  }
  free(image);
  xcb_disconnect(c);
  return pixels;
}

// Pixels of `shown` (w x h, as CaptureScreen gives them) that differ from the
// PNG picture `vellox snapshot --set ...` writes for the same settings; -1
// when the tool fails or the sizes differ.
inline long DifferingFromSnapshot(const std::vector<uint32_t>& shown, int w, int h,
                                  const std::vector<std::string>& settings, const std::string& name) {
  const std::string out = Paths().scratch + "/" + name + ".png";
  juce::StringArray args{Paths().vellox.c_str(), "snapshot", "--out", out.c_str()};
  for (const auto& setting : settings) args.addArray(juce::StringArray{"--set", setting.c_str()});
  juce::ChildProcess tool;
  if (!tool.start(args)) return -1;
  tool.readAllProcessOutput();
  if (!tool.waitForProcessToFinish(60000) || tool.getExitCode() != 0) return -1;
  const juce::Image picture = juce::ImageFileFormat::loadFrom(juce::File(out));
  if (picture.getWidth() != w || picture.getHeight() != h || shown.size() != size_t(w) * size_t(h)) return -1;
  long differing = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      differing += (picture.getPixelAt(x, y).getARGB() & 0xFFFFFFu) != shown[size_t(y) * size_t(w) + size_t(x)];
  return differing;
}

}  // namespace vellox::juce_host
