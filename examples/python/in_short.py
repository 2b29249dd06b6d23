import korvan

# Three points, each a type (0 to 3) and an input value.
solution = korvan.generate([1, 0, 3], [50, 100, 80])

# Largest demand first; caller_data is each point's position in the input.
for row, size, deviation in zip(solution.caller_data, solution.valve_size, solution.deviation):
    print(f"input row {row}: valve size {size}, deviation {deviation} %")
print("scale factor", solution.scale_factor)
