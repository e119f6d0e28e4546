// codepage stand-in: written next.
