// memory stand-in: written next.
