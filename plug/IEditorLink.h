#pragma once

// What the plug-in base needs from the editor's graphics object. The graphics
// core implements it; the base owns the bound object and deletes it through
// the virtual destructor when the plug-in is destroyed.
class IEditorLink {
public:
  virtual ~IEditorLink() = default;

  // Host-side value for parameter `index`, for the controls bound or linked
  // to it, converted from a plain value first when isNormalized is false.
  // Called on any thread: the controls take it at once on the editor's own
  // thread; from any other thread the editor touches nothing and shows the
  // parameter slot's value on its next tick.
  virtual void PushParamToControls(int index, double value, bool isNormalized) = 0;

  // Creates the off-screen drawing surfaces; called once the editor is bound,
  // after every parameter's value was pushed.
  virtual void CreateDrawSurfaces() = 0;
};
