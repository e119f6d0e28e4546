// files stand-in: written next.
