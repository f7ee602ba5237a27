#pragma once

class QWidget;

// The sign-in a clear needs after its confirmation: a fresh sign-in dialog, accepted only for the
// account of a role that may authorise clearing. Whoever asked for the clear, a general or browse
// user signing in is told so and nothing is cleared.
namespace ClearSignIn
{

// True when the clear may go ahead. The refusal box has `parent`; the sign-in dialog has
// `loginParent`.
bool Authorise(QWidget* parent, QWidget* loginParent = nullptr);

} // namespace ClearSignIn
