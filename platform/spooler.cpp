// spooler stand-in: written next.
