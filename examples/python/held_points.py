import korvan

# Points solved before are held: generate copies them to the front of a new array and
# solves them with the new ones. The held array itself is never changed.
first = korvan.generate([1, 0], [50, 100], caller_data=[10, 11])
both = korvan.generate([3], [80], entries=first, caller_data=[12])

print(len(first), "points held,", len(both), "points solved together")
print("tags ", both.caller_data)
print("sizes", both.valve_size)
