# Sizes the README's three points with the Python package and prints their scale factor.
import korvan

solution = korvan.generate([1, 0, 3], [50, 100, 80])  # types, input values
print(solution.scale_factor)
