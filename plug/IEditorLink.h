#pragma once

// What the plug-in base needs from the editor's graphics object. The graphics
// core implements it; the base owns the bound object and deletes it through
// the virtual destructor when the plug-in is destroyed.
class IEditorLink {
public:
  virtual ~IEditorLink() = default;

  // Host-side value for parameter `index`, for the controls bound or linked
  // to it. Called on any thread, the audio thread inside the plug-in lock
  // included: an implementation neither blocks nor allocates here, and the
  // editor shows the value from its own thread.
  virtual void DeliverParamValue(int index, double normalized) = 0;

  // Same delivery, converting a plain value to normalised form first when
  // isNormalized is false.
  virtual void PushParamToControls(int index, double value, bool isNormalized) = 0;

  // Creates the off-screen drawing surfaces; called once the editor is bound,
  // after every parameter's value was delivered.
  virtual void CreateDrawSurfaces() = 0;
};
