import korvan

solution = korvan.generate([1, 0, 3], [50, 100, 80])
print("generate: demand", solution.demand, "scale factor", solution.scale_factor)

# Edit a point, then re-solve the same array: fill updates this Solution, entries and totals.
solution.input_value[solution.caller_data == 2] = 1000.0
same = korvan.fill(solution)
print("fill is the same object:", same is solution)
print("fill:     demand", solution.demand, "scale factor", solution.scale_factor)

# fill computes demands with half the multiplier generate uses: 50 of type 1 is 0.562 here,
# 1.124 from generate. Do not mix entries from fill with new points of generate.
