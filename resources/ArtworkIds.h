#pragma once

// Resource numbers, loader paths and frame counts of the editor artwork. The
// numbers match vellox_artwork.rc (Windows resources of type "PNG") and the
// embedded copies of EmbeddedArtwork.h; frames are stacked vertically.

constexpr int kArtworkDry = 101;
constexpr int kArtworkChop = 102;
constexpr int kArtworkFade = 103;
constexpr int kArtworkBy = 104;
constexpr int kArtworkBackground = 105;
constexpr int kArtworkOutput = 106;
constexpr int kArtworkSync = 107;
constexpr int kArtworkNote = 108;
constexpr int kArtworkStep = 109;
constexpr int kArtworkPattern = 110;
constexpr int kArtworkStepsList = 111;
constexpr int kArtworkGate = 112;
constexpr int kArtworkSwing = 113;
constexpr int kArtworkOffset = 114;
constexpr int kArtworkRetrig = 115;
constexpr int kArtworkPreset = 116;

constexpr const char* kArtworkDryPath = "resources/img/DRY.png";
constexpr const char* kArtworkChopPath = "resources/img/CHOP.png";
constexpr const char* kArtworkFadePath = "resources/img/FADE.png";
constexpr const char* kArtworkByPath = "resources/img/BY.png";
constexpr const char* kArtworkBackgroundPath = "resources/img/BG.png";
constexpr const char* kArtworkOutputPath = "resources/img/OUT.png";
constexpr const char* kArtworkSyncPath = "resources/img/SYNC.png";
constexpr const char* kArtworkNotePath = "resources/img/NOTE.png";
constexpr const char* kArtworkStepPath = "resources/img/STEP.png";
constexpr const char* kArtworkPatternPath = "resources/img/PATTERN.png";
constexpr const char* kArtworkStepsListPath = "resources/img/STEPS.png";
constexpr const char* kArtworkGatePath = "resources/img/GATE.png";
constexpr const char* kArtworkSwingPath = "resources/img/SWING.png";
constexpr const char* kArtworkOffsetPath = "resources/img/OFFSET.png";
constexpr const char* kArtworkRetrigPath = "resources/img/RETRIG.png";
constexpr const char* kArtworkPresetPath = "resources/img/PRESET.png";

constexpr int kArtworkKnobFrames = 61;   // DRY, CHOP, FADE, OUTPUT
constexpr int kArtworkSwitchFrames = 2;  // BY, SYNC: off, on
constexpr int kArtworkNoteFrames = 15;   // NOTE: one note value per frame
constexpr int kArtworkBackgroundFrames = 1;
constexpr int kArtworkStepFrames = 33;       // STEP: level i / 32 in frame i
constexpr int kArtworkStepsListFrames = 16;  // STEPS: 1 .. 16
constexpr int kArtworkSmallKnobFrames = 61;  // GATE, SWING, OFFSET
constexpr int kArtworkPresetFrames = 13;     // PRESET: one factory program name per frame

// Every image has a twin drawn at twice the resolution (resources/img/2x/),
// under its own number plus this offset, for editors shown at a content scale
// above 1.
constexpr int kArtwork2xOffset = 100;

// The number an image is stored under: its own, or that of an earlier image
// with the same bytes at both resolutions (as CHOP's strips are DRY's and
// SYNC's are BY's), whose resources the module carries once. The editor loads this
// number, so identical images are also decoded once. Twins map likewise.
int StoredArtworkId(int id);
