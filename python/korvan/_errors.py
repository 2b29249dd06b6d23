"""The exception every refused call raises."""


class KorvanError(Exception):
    """The library refused a call: ``code`` is its result code, the message its own sentence.

    Codes: 10 memory ran out, 11 nothing to solve, 12 a type that is not one of 0 to 3,
    13 unsolvable input, 160 an invalid argument. Whatever the code, the arrays the caller passed
    are as they were before the call.
    """

    def __init__(self, code, message):
        super().__init__(message)
        self.code = code

    def __reduce__(self):
        # Exceptions pickle their args alone; a KorvanError must cross process pools whole.
        return (type(self), (self.code, str(self)))
