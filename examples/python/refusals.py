import korvan

# The library refuses points it cannot size, and names the first point at fault.
try:
    korvan.generate([1, 0, 3], [50, -100, 80])
except korvan.KorvanError as error:
    print(repr(error.code), repr(error.rule), "point", error.point)
    print("message:", error)

# Points numbered from 0 in the call: held entries first, then the new points.
held = korvan.generate([1, 0], [50, 100])
try:
    korvan.generate([3, 7], [80, 20], entries=held)
except korvan.KorvanError as error:
    print(error.code.name, error.rule.name, "point", error.point, "-", error)

# An argument the package cannot pass is refused before the call, naming the value.
try:
    korvan.generate([1, 0], [50, 100], caller_data=[7, -1])
except (TypeError, ValueError) as error:
    print(type(error).__name__ + ":", error)
